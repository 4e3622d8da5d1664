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
class PersonRec final : public ChildWindow,
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

    explicit PersonRec(ShellHost& host, QWidget* parent = nullptr);
    ~PersonRec() override;

    // --- ChildWindow ---
    void ChangeLanguage() override;
    void Form_Activate() override;
    // The address book needs no card: a card coming or going changes nothing here.
    void CardChanged() override {}
    void RunFileCommand(FileCommand command) override { files_.Run(command); }
    void PrintRecords() override;
    // Every change to the list is a step: a field edited (its keystrokes one step), a delete,
    // a paste, an import, a sort.
    QUndoStack* UndoStack() override { return history_; }

    // --- Commands ---
    void CmdNewNewrecord_Click() { files_.New(); }
    void CmdNewOpen_Click() { files_.Open(); }
    void CmdNewSave_Click() { files_.Save(); }
    void CmdSaveAs_Click() { files_.SaveAs(); }
    void CmdNewRecord_Click();
    void Cmddelsim_Click();
    void CmdPrint_Click();
    void ComNext_Click();
    // Enter in the find box: searches from the top.
    void FindBox_Enter();
    void CmdExport(QChar delimiter) override;
    void CmdImport(QChar delimiter) override;
    // Finds the next cell matching the find box and shows it in the form; false when none.
    bool FindRecord();
    // The used count and the list index (always 0), and a new used count after an import.
    void OutPutTotal(int& count, int& list) const;
    void InPutTotal(int count);
    // Appends records given in the clipboard's field form after the used slots.
    void DisplayInGrid(const QString& text);
    // Sets the input length limits of the fields.
    void iniAllTLenght();

    // --- State, for the main window and for tests ---
    RecordList& List();
    RecordListModel* Model() const { return model_; }
    RecordTable* Grid() const { return MSHFlexGrid1; }
    int UsedCount() const { return used_; }
    int CurrentRow() const;
    const QString& CurrentFile() const { return files_.File(); }
    // The automatically created file while it exists for the current document, else empty.
    QString NewFile() const { return files_.UntitledFile(); }
    bool Modified() const { return files_.Modified(); }
    QLineEdit* Text3(int column) const { return text3_[column]; }
    // The tab page that holds a column's field.
    static int PageOf(int column);

    // Controls, named as the window's design names them.
    QPushButton* CmdNewNewrecord = nullptr;
    QPushButton* CmdNewOpen = nullptr;
    QPushButton* CmdNewSave = nullptr;
    QPushButton* CmdSaveAs = nullptr;
    QPushButton* CmdNewRecord = nullptr;
    QPushButton* Cmddelsim = nullptr;
    QPushButton* CmdPrint = nullptr;
    QPushButton* ComNext = nullptr;
    QLineEdit* FindBox = nullptr;
    QLabel* FRecord = nullptr;
    QComboBox* YearC = nullptr;
    QComboBox* MonthC = nullptr;
    QComboBox* DayC = nullptr;
    QComboBox* SexC = nullptr;
    QComboBox* ImprotantC = nullptr;
    QTabWidget* SSTab1 = nullptr;
    RecordTable* MSHFlexGrid1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout and captions.
    void BuildWidgets();
    QWidget* BuildPersonalPage();
    QWidget* BuildAddressPage();
    void AddField(QFormLayout* form, int column, QWidget* field = nullptr);
    void SetUpColumns();
    void FillYears();
    int Language() const;
    QString Text(MessageId id) const;
    QWidget* DialogParent();

    // The form.
    void ShowRecord(int row);
    void ShowDate(const QString& date);
    void FieldEdited(int column);
    void FieldChanged(int column, const QString& text);
    void YearEdited(const QString& typed);
    void YearLeft();
    void DateChanged();
    void RefillDays();
    void SexEdited(const QString& typed);
    void ImportanceEdited(const QString& typed);
    // Switches to the field's page and focuses it; selects `length` characters from `start`.
    void GoToField(int column, int start = -1, int length = 0);

    // Files and history.
    bool AskAboutUnsavedWork() override { return files_.KeepChanges(); }
    // A change of the records was made: it becomes a step of the history (merged with the
    // previous one when both carry the same non-zero key) and Save becomes enabled.
    void MarkModified(int mergeKey = 0);
    ListState CaptureList() const;
    void RestoreListState(int list, const ListState& state, int revision) override;
    void ResetFindAndSort();

    // DocumentOwner
    RecordList& DocumentList() override { return List(); }
    int& DocumentUsedCount() override { return used_; }
    void DocumentReplaced() override;
    void ShowDocumentName(const QString& title) override;

    // RecordTableInput
    bool ListKeyDown(int list, QKeyEvent* event) override;
    void ListKeyUp(int list, QKeyEvent* event) override;
    void ListCornerDown(int list) override;
    void ListTitleDown(int list, int column, Qt::KeyboardModifiers modifiers) override;
    void ListSlotDown(int list) override;
    void ListCellDown(int list, int row, int column) override;
    void ListSlotUp(int list, Qt::KeyboardModifiers modifiers) override;
    void ListCellUp(int list) override;
    void ListScrolled(int list) override;

    RecordListModel* model_ = nullptr;
    std::array<QLineEdit*, kColumnCount> text3_{};
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
