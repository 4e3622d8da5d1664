#pragma once

#include <QList>
#include <QString>

#include <array>

#include "catalogue/catalogue.h"
#include "records/person_fields.h"
#include "records/record_find.h"
#include "shell/child_window.h"
#include "windows/document_file_commands.h"
#include "windows/list_history.h"
#include "windows/record_table.h"

class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QUndoStack;

namespace pellucard {

class RecordList;
class RecordListModel;

// The personal record window: an address book kept on the computer in a contact file. The
// list of slots shows the records; the form beside it, on two tab pages, edits the current
// one: 25 labelled fields, of which the date of birth, the sex and the importance are set
// through choosers. The window's document is always a file: a chosen one, or the empty file
// it creates for a new document, which lives only until the user saves under a name, opens
// another file, starts another new document or closes the window.
class PersonalRecordsWindow final : public ChildWindow,
                                    private RecordTableInput,
                                    private ListHistoryOwner,
                                    private DocumentOwner {
    Q_OBJECT

public:
    static constexpr int kSlotCount = 256;
    static constexpr int kFieldCount = 25;
    static constexpr int kMarkColumn = 26;
    static constexpr int kColumnCount = 27;
    // Contact columns whose fields hold dialling numbers.
    static constexpr std::array<int, 6> kNumberColumns = kContactNumberColumns;
    static constexpr int kDateColumn = 19;
    static constexpr int kImportantColumn = 23;
    static constexpr int kSexColumn = 24;
    static constexpr int kNoteColumn = 25;

    explicit PersonalRecordsWindow(ShellHost& host, QWidget* parent = nullptr);
    ~PersonalRecordsWindow() override;

    // --- ChildWindow ---
    void changeLanguage() override;
    void activate() override;
    // The address book needs no card: a card coming or going changes nothing here.
    void cardChanged() override {}
    void runFileCommand(FileCommand command) override { files_.run(command); }
    void printRecords() override;
    // Every change to the list is a step: a field edited (its keystrokes one step), a delete,
    // a paste, an import, a sort.
    QUndoStack* undoStack() override { return history_; }

    // --- Commands ---
    void newFile() { files_.newDocument(); }
    void openFile() { files_.open(); }
    void saveFile() { files_.save(); }
    void saveFileAs() { files_.saveAs(); }
    void newRecord();
    void deleteMarked();
    void printList();
    void findNext();
    // Enter in the find box: searches from the top.
    void findFromTop();
    void exportText(QChar delimiter) override;
    void importText(QChar delimiter) override;
    // Finds the next cell matching the find box and shows it in the form; false when none.
    bool findRecord();
    // The used count and the list index (always 0), and a new used count after an import.
    void usedCountOfCurrentList(int& count, int& list) const;
    void setUsedCountOfCurrentList(int count);
    // Appends records given in the clipboard's field form after the used slots.
    void appendClipboardRecords(const QString& text);
    // Sets the input length limits of the fields.
    void setFieldLengthLimits();

    // --- State, for the main window and for tests ---
    RecordList& recordList();
    RecordListModel* model() const { return model_; }
    RecordTable* grid() const { return recordGrid; }
    int usedCount() const { return used_; }
    int currentRow() const;
    const QString& currentFile() const { return files_.file(); }
    // The automatically created file while it exists for the current document, else empty.
    QString untitledFile() const { return files_.untitledFile(); }
    bool modified() const { return files_.modified(); }
    QLineEdit* field(int column) const { return fields_[column]; }
    // The tab page that holds a column's field.
    static int pageOf(int column);

    // Controls, named as the window's design names them.
    QPushButton* newFileButton = nullptr;
    QPushButton* openFileButton = nullptr;
    QPushButton* saveFileButton = nullptr;
    QPushButton* saveAsButton = nullptr;
    QPushButton* newRecordButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QPushButton* printButton = nullptr;
    QPushButton* findNextButton = nullptr;
    QLineEdit* findBox = nullptr;
    QLabel* fileTitle = nullptr;
    QComboBox* yearBox = nullptr;
    QComboBox* monthBox = nullptr;
    QComboBox* dayBox = nullptr;
    QComboBox* sexBox = nullptr;
    QComboBox* importanceBox = nullptr;
    QTabWidget* pages = nullptr;
    RecordTable* recordGrid = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout and captions.
    void buildWidgets();
    QWidget* buildPersonalPage();
    QWidget* buildAddressPage();
    void addField(QFormLayout* form, int column, QWidget* field = nullptr);
    void setUpColumns();
    void fillYears();
    int language() const;
    QString text(MessageId id) const;
    QWidget* dialogParent();

    // The form.
    void showRecord(int row);
    void showDate(const QString& date);
    void fieldEdited(int column);
    void fieldChanged(int column, const QString& text);
    void yearEdited(const QString& typed);
    void yearLeft();
    void dateChanged();
    void refillDays();
    void sexEdited(const QString& typed);
    void importanceEdited(const QString& typed);
    // Switches to the field's page and focuses it; selects `length` characters from `start`.
    void goToField(int column, int start = -1, int length = 0);

    // Files and history.
    bool askAboutUnsavedWork() override { return files_.keepChanges(); }
    // A change of the records was made: it becomes a step of the history (merged with the
    // previous one when both carry the same non-zero key) and Save becomes enabled.
    void markModified(int mergeKey = 0);
    ListState captureList() const;
    void restoreListState(int list, const ListState& state, int revision) override;
    void resetFindAndSort();

    // DocumentOwner
    RecordList& documentList() override { return recordList(); }
    int& documentUsedCount() override { return used_; }
    void documentReplaced() override;
    void showDocumentName(const QString& title) override;

    // RecordTableInput
    bool listKeyDown(int list, QKeyEvent* event) override;
    void listKeyUp(int list, QKeyEvent* event) override;
    void listCornerDown(int list) override;
    void listTitleDown(int list, int column, Qt::KeyboardModifiers modifiers) override;
    void listSlotDown(int list) override;
    void listCellDown(int list, int row, int column) override;
    void listSlotUp(int list, Qt::KeyboardModifiers modifiers) override;
    void listCellUp(int list) override;
    void listScrolled(int list) override;

    RecordListModel* model_ = nullptr;
    std::array<QLineEdit*, kColumnCount> fields_{};
    std::array<QLabel*, kColumnCount> fieldLabel_{};
    QLabel* fileLabel_ = nullptr;
    QLabel* findLabel_ = nullptr;
    QLabel* dateHint_ = nullptr;
    QGroupBox* homeFrame_ = nullptr;
    QGroupBox* officeFrame_ = nullptr;
    QScrollArea* scroll_ = nullptr;

    int used_ = 0;
    int sortState_ = 0;
    int markState_ = 0;
    FindState find_;
    int shownRow_ = 0;
    bool showing_ = false;  // the form is being filled from the list, not edited
    QUndoStack* history_ = nullptr;
    ListState recorded_;  // the list as the history last left it
    DocumentFileCommands files_;
};

}  // namespace pellucard
