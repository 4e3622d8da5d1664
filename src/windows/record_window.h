#pragma once

#include <QList>
#include <QString>

#include <array>
#include <vector>

#include "catalogue/catalogue.h"
#include "records/record_documents.h"
#include "records/record_find.h"
#include "shell/card_gate.h"
#include "shell/child_window.h"
#include "shell/edit_commands.h"
#include "windows/card_record_store.h"
#include "windows/cell_editor_delegate.h"
#include "windows/document_file_commands.h"
#include "windows/list_history.h"
#include "windows/record_table.h"
#include "windows/transfer_runs.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QUndoStack;

namespace pellucard {

class CellEditor;
class Pellucard;
class RecordListModel;
struct ExportRequest;

// What sets the phone book window and the SMS window apart where they work alike.
struct RecordWindowKind {
    WindowIndex windowIndex;
    MessageId captionId;        // window caption
    MessageId simFrameTitleId;  // title of the SIM list's frame
    int columnCount;
    int markColumn;
    int fieldCount;  // field columns that decide whether a slot is used
    const RecordFileKind* file;
    const char* readButtonObjectName;     // the read command's control
    const char* countLabelObjectName;     // shows the card's record count
    const char* lastReadLabelObjectName;  // the result line of the last read
    MessageId maxLabelId;                 // caption of the record count
    int rowPadding;          // pixels: a list's minimum row height is the editor's plus this
    QString exportKindName;  // the import dialog's name of the list kind
};

// A record window with two lists side by side: the SIM list (list 1, on the left), whose slot
// n is card record n, and the computer list (list 0, on the right), which shows a record file.
// The user reads the card into the SIM list and writes it back, copies marked or all records
// between the lists, edits cells in place with one cell editor that each list's item delegate
// opens over the cell, deletes, keeps the computer list in files, finds, prints and exports.
//
// The phone book window and the SMS window are both this window; each adds what its records
// need (columns, the editor's rules, the transfer runs, the clipboard form).
class RecordWindow : public ChildWindow,
                     public EditCommands,
                     protected RecordTableInput,
                     private CellEditorHost,
                     private ListHistoryOwner,
                     private DocumentOwner {
    Q_OBJECT

public:
    static constexpr int kComputerList = 0;
    static constexpr int kSimList = 1;
    static constexpr int kSlotCapacity = 256;

    RecordWindow(const RecordWindowKind& kind, ShellHost& host, QWidget* parent = nullptr);
    ~RecordWindow() override;

    // --- ChildWindow ---
    void changeLanguage() override;
    void activate() override;
    void deactivate() override;
    void cardChanged() override;
    void cardRunChanged() override;
    void runFileCommand(FileCommand command) override { files_.run(command); }
    void printRecords() override;
    // One history for both lists: every change to a list is a step (a cell edit, a delete, a
    // new slot, a paste, a copy, an import, a sort, a read from the card).
    QUndoStack* undoStack() override { return history_; }
    // The first marked row of the current list, else the first row of its selection, in the
    // cell editor (on the current column, else the first).
    void editFirstSelectedRecord() override;

    // --- Commands ---
    void readCard();  // Connectosim / Command3
    void writeToCard();
    // Asks the window's card run to end after the record in hand (the Stop button).
    void stopCardRun();
    void copyMarkedToComputer();
    void copyMarkedToCard();
    void copyAllToComputer();
    void copyAllToCard();
    void deleteMarked(int list);
    void newRecord(int list);
    void newFile() { files_.newDocument(); }
    void openFile() { files_.open(); }
    void saveFile() { files_.save(); }
    void saveFileAs() { files_.saveAs(); }
    void printList(int list);
    void exportText(QChar delimiter = QLatin1Char(',')) override;
    void importText(QChar delimiter) override;
    void findNext(int list);
    void findFromTop(int list);

    // --- EditCommands, on the list that has the focus (else the one last used) ---
    void copyToClipboard() override { copyRecords(activeList()); }
    void pasteFromClipboard() override { pasteRecords(activeList()); }
    void deleteMarkedOrCell() override { deleteRecordsOrCell(activeList()); }
    void focusFindBox() override;
    void findNextMatch() override { findNext(activeList()); }
    // Ctrl+C: the marked records, or the current cell's text when no row is marked.
    void copyRecords(int list);
    // Ctrl+V: records given as clipboard text go after the used rows (when rows are marked, or
    // the clipboard holds records or a table); other text goes into the current cell as if
    // typed there.
    void pasteRecords(int list);
    // Delete: the marked records after asking, or the current cell's text when no row is
    // marked.
    void deleteRecordsOrCell(int list);
    // The used count and index of the current list, and a new used count after an import.
    void usedCountOfCurrentList(int& count, int& list) const;
    void setUsedCountOfCurrentList(int count);
    // Appends records given as clipboard text after the used rows of the list.
    virtual void appendClipboardRecords(int list, const QString& text, int& used) = 0;

    // --- State, for the main window and for tests ---
    RecordList& recordList(int list);
    RecordListModel* model(int list) const { return model_[list]; }
    RecordTable* grid(int list) const { return grid_[list]; }
    CellEditor* editor() const { return cellEditor_; }
    // The combo box a cell edited by choosing among names opens with.
    CellChoiceEditor* choiceEditor() const { return choiceEditor_; }
    int usedCount(int list) const { return used_[list]; }
    int currentList() const { return currentList_; }
    const QString& currentFile() const { return files_.file(); }
    QString untitledFile() const { return files_.untitledFile(); }
    // The computer list differs from its file: its revision is not the one last saved or
    // opened. Undoing back to that revision makes it unmodified again.
    bool modified() const { return files_.modified(); }
    // The SIM list holds changes that were not written to the card: its revision is not the one
    // last read from the card or written to it whole. Undoing back to that revision makes it
    // unchanged again.
    bool cardSideModified() const { return simRevision_ != cardRevision_; }
    // The editor lies over a cell of list `list` (row, column), or -1.
    bool editorOverCell() const;
    int editorList() const { return editList_; }
    const CardRecordStore& cardRecords() const { return store_; }

protected:
    // --- What the kinds of window add ---
    virtual void setUpColumns(int list) = 0;  // titles, alignments, hidden columns
    virtual void applyColumnWidths(int list) = 0;
    virtual int cardRecordCount() const = 0;  // the card's records of this kind
    virtual bool runRead(TransferRun& run, RecordList& list, int& doneCount) = 0;
    virtual bool runWrite(TransferRun& run, const RecordList& list, int usedCount) = 0;
    virtual void beforeWrite(Pellucard& /*engine*/) {}
    // The SIM list was read from the card, or a file into the computer list.
    virtual void afterRead() {}
    virtual void afterLoad(int /*list*/) {}
    // Whether to ask before a read replaces a SIM list that holds records; `writeEnabled` is
    // the state the write command had when the read was asked for.
    virtual bool askBeforeRead(bool /*writeEnabled*/) const { return true; }
    // A list that shows a file the card keeps for itself: nothing in it is edited, pasted,
    // deleted, sorted or written.
    virtual bool listReadOnly(int /*list*/) const { return false; }
    // The last step before a write run, inside the card-access gate (a code the file asks for);
    // false writes nothing.
    virtual bool readyToWrite(CardGate::Hold& /*hold*/) { return true; }
    // The SIM list's unwritten changes before it is replaced or the window goes: Write (true
    // once written whole), Discard (true) or Cancel (false).
    bool keepCardSideChanges();
    // What the editor shows for a cell, and how it is set up there (lines, height, limits).
    virtual QString cellEditorText(int list, int row, int column);
    virtual void editorPlaced(int list, int row, int column);
    // The cell editor was closed.
    virtual void onEditorHidden() {}
    // A find matched a cell of `column`: the column to edit, or 0 to search on (a column
    // that repeats another's text).
    virtual int foundEditColumn(int column) const { return column; }
    // Opens the right editor on the list's current cell (Enter, a click on a cell).
    virtual void editCell(int list) = 0;
    // The editor's text changed by the user's hand.
    virtual void editorTextChanged();
    // CellEditorHost: a cell edited by choosing among names; by default every cell is typed.
    bool cellChoices(int /*list*/, int /*row*/, int /*column*/, CellChoices& /*choices*/) override {
        return false;
    }
    // Keeps what a dialling number may hold of the editor's text, with the caret where it was
    // and a hint for a refused character; returns the text that stays.
    QString filterNumberInEditor(const QString& text);
    virtual bool editorKeyPressed(QKeyEvent* event);
    virtual void editorKeyReleased(QKeyEvent* event);
    // Ctrl+C: the marked records as clipboard text.
    virtual QString clipboardText(int list) const = 0;
    // The text Ctrl+C copies from a cell when no row is marked.
    virtual QString cellTextToCopy(int list, int row, int column) const;
    // Columns handed to the print and export dialogs.
    virtual int outputColumnCount() const { return 3; }
    // The columns printed, in order: those of the output columns that the list shows.
    QList<int> printedColumns(int list) const;
    // The column whose text a printed column prints; by default its own.
    virtual int printedTextColumn(int column) const { return column; }
    // The records the print and export dialogs get for a list, and how many slots they fill;
    // by default the list itself.
    virtual const RecordList& outputList(int list, int& used);
    // The records the print dialog gets: outputList, with what the list keeps in a stored form
    // (a word of the files) as the window shows it.
    virtual const RecordList& printedList(int list, int& used) { return outputList(list, used); }
    // The records Find searches, cell for cell the list's: by default the list itself; a window
    // that shows a stored word otherwise gives them as it shows them.
    virtual const RecordList& findList(int list) { return recordList(list); }
    // The editor's length limit for a cell of `list`.
    virtual void setEditorLimit(int list, int column);
    // A cell of the list changed by the editor; rows of the SIM list are new records then.
    void cellEdited(int list, int row);
    // Columns of numbers, filtered as they are typed.
    virtual bool isNumberColumn(int column) const = 0;
    // The last column a find searches.
    virtual int findLastColumn() const = 0;

    // Captions, lists and the new untitled computer list; the kinds call it at the end of their
    // constructors, once their own part of the window exists.
    void setUpWindow();

    // --- Shared helpers for the kinds ---
    Session& currentSessionRef() { return currentSession(); }
    int language() const;
    QString text(MessageId id) const;
    const RecordWindowKind& kind() const { return kind_; }
    // Opens the editor over the list's current cell and focuses it.
    void showCellEditor(int list);
    // Closes the editor, wherever it is open.
    void hideCellEditor();
    // Lays the open editor over its cell now, after its row or column changed size.
    void placeEditor();
    // The state of a list, to be handed to RecordChange after changing it.
    ListState captureList(int list) const;
    // Puts the change of `list` since `before` on the undo history (nothing when the list is
    // as it was). Changes with the same non-zero merge key become one step.
    void recordChange(int list, const ListState& before, int mergeKey = 0);
    // A new key for the edits of the editor's next stay in a cell.
    int newEditKey() { return ++lastEditKey_; }
    void setTitle(int list, const QString& title);
    int minimumRowHeight() const;
    void markNewRecords(int list, int firstRow, int lastRow);
    void clearFindStates();
    QWidget* dialogParent();

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

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Controls, named as the window's design names them.
    std::array<RecordListModel*, 2> model_{};
    std::array<RecordTable*, 2> grid_{};
    std::array<QGroupBox*, 2> listFrame_{};
    std::array<QPushButton*, 2> deleteButton_{};
    std::array<QPushButton*, 2> newRecordButton_{};
    std::array<QLabel*, 2> findLabel_{};
    std::array<QLineEdit*, 2> findBox_{};
    std::array<QPushButton*, 2> findNextButton_{};
    std::array<QPushButton*, 2> printButton_{};
    QPushButton* readButton_ = nullptr;  // Connectosim / Command3
    QPushButton* writeButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* copyToComputerButton_ = nullptr;
    QPushButton* copyAllToComputerButton_ = nullptr;
    QPushButton* copyToCardButton_ = nullptr;
    QPushButton* copyAllToCardButton_ = nullptr;
    QPushButton* newFileButton_ = nullptr;
    QPushButton* openFileButton_ = nullptr;
    QPushButton* saveFileButton_ = nullptr;
    QPushButton* saveAsButton_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* countCaption_ = nullptr;
    QLabel* countLabel_ = nullptr;  // RecordL / LTotal
    QLabel* nowLabel_ = nullptr;    // LNowRec / LNowRecord
    QScrollArea* scrollArea_ = nullptr;
    QWidget* content_ = nullptr;
    CellEditor* cellEditor_ = nullptr;
    CellChoiceEditor* choiceEditor_ = nullptr;

    std::array<int, 2> used_{0, 0};
    int currentList_ = kComputerList;
    int markState_ = 0;
    std::array<int, 2> sortState_{0, 0};
    std::array<FindState, 2> find_{};
    std::array<int, 2> pressRow_{0, 0};
    std::array<int, 2> pressColumn_{0, 0};
    int editList_ = -1;  // the list the editor is open over, -1 when closed
    int editRow_ = 0;
    int editColumn_ = 0;
    CardRecordStore store_;
    bool busy_ = false;  // a card transfer runs
    QUndoStack* history_ = nullptr;
    std::vector<bool> knownSlots_;          // by slot number: SlotKnown
    int knownGeneration_ = -1;              // the card they were read from or written to
    int simRevision_ = 0;                   // the SIM list's
    int cardRevision_ = 0;                  // the SIM list's revision that the card holds
    int lastSimRevision_ = 0;               // the last given out
    int editKey_ = 0;                       // merge key of the editor's current stay in a cell
    int lastEditKey_ = 0;                   // the last merge key given out
    std::array<int, 2> gridWidth_{-1, -1};  // the widths the columns were laid out for

private:
    // The list whose grid, find box or editor has the focus; else the one last used.
    int activeList() const;
    bool anyRowMarked(int list) const;
    // Whether `text` is the clipboard form of the list's records: its first line is the title
    // of the first field followed by ":" (the field form) or by a tab (the table form).
    bool holdsRecords(int list, const QString& text);
    // Appends the records of the clipboard after the used rows (Ctrl+V as it always was).
    void pasteRecordText(int list);
    void buildWidgets();
    // CellEditorHost: the delegates open the editor and hand it the user's edits.
    void loadCellEditor(int list, int row, int column) override;
    void commitCellEditor(int list) override;
    // Closes the editor without telling the kind of window (it opens again elsewhere).
    void closeCellEditor();
    // The widget open over the cell being edited: the cell editor or the choice editor.
    QWidget* openEditorWidget() const;
    // Escape in the choice editor: the stay's change is undone and the editor closes.
    void cancelCellChoice();
    bool movingEditor_ = false;  // closing the editor to open it over another cell
    void initList(int list, int slotCount);
    void updateCardState();
    bool askAboutUnsavedWork() override;
    // Copies the other list's marked records after the used rows of `target`.
    void copyMarkedTo(int target);
    // Replaces `target` by all records of the other list, asking first when it holds some.
    void copyAllTo(int target);
    // DocumentOwner: the computer list is the window's document.
    RecordList& documentList() override { return recordList(kComputerList); }
    int& documentUsedCount() override { return used_[kComputerList]; }
    void beforeFileCommand() override { hideCellEditor(); }
    void documentReplaced() override;
    void showDocumentName(const QString& title) override { setTitle(kComputerList, title); }
    QString documentCaption() const override { return windowTitle(); }

    // `askFirst`: a write asks "Do you want to save it to SIM ?" (not when the user already
    // chose Write in the question about unwritten changes).
    bool cardAccessGate(bool writing, bool askFirst, CardGate::Hold& hold);
    // Runs a read or a write; true when it went through to the end.
    bool transfer(bool writing, bool askFirst = true);
    // The two runs inside the gate; true when they went through to the end.
    bool readSimList(TransferRun& run);
    bool writeSimList(TransferRun& run);
    // Whether this window knows what the card now in the reader holds in slot `slot`: it read
    // the record there, or wrote it.
    bool slotKnown(int slot) const;
    // Slots of the card that the user filled or emptied without their card content ever having
    // been read: writing them asks first.
    QList<int> slotsTypedOverUnread();
    void showOutput(RecordList& target, int list);
    void restoreListState(int list, const ListState& state, int revision) override;

    RecordWindowKind kind_;
    DocumentFileCommands files_;
};

}  // namespace pellucard
