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
#include "windows/card_record_store.h"
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
    const char* readButtonName;  // the read command's control
    const char* countLabelName;  // shows the card's record count
    const char* nowLabelName;    // the result line of the last read
    MessageId maxLabelId;        // caption of the record count
    int rowPaddingTwips;         // a list's minimum row height is the editor's plus this
    QString exportKindName;      // the import dialog's name of the list kind
};

// A record window with two lists side by side: the SIM list (list 1, on the left), whose slot
// n is card record n, and the computer list (list 0, on the right), which shows a record file.
// The user reads the card into the SIM list and writes it back, copies marked or all records
// between the lists, edits cells in place with one cell editor laid over the cell, deletes,
// keeps the computer list in files, finds, prints and exports.
//
// The phone book window and the SMS window are both this window; each adds what its records
// need (columns, the editor's rules, the transfer runs, the clipboard form).
class RecordWindow : public ChildWindow,
                     protected RecordTableInput,
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
    void ChangeLanguage() override;
    void Form_Activate() override;
    void Form_Deactivate() override;
    void CardChanged() override;
    void CardRunChanged() override;
    void RunFileCommand(FileCommand command) override { files_.Run(command); }
    void PrintRecords() override;
    // One history for both lists: every change to a list is a step (a cell edit, a delete, a
    // new slot, a paste, a copy, an import, a sort, a read from the card).
    QUndoStack* UndoStack() override { return history_; }

    // --- Commands ---
    void ReadCard_Click();  // Connectosim / Command3
    void CmdSaveSim_Click();
    // Asks the window's card run to end after the record in hand (the Stop button).
    void CmdStop_Click();
    void CmdRight_Click();
    void CmdLeft_Click();
    void Cmdallright_Click();
    void Cmdallleft_Click();
    void Cmddelsim_Click(int list);
    void CmdNewRecord_Click(int list);
    void CmdNewNewrecord_Click() { files_.New(); }
    void CmdNewOpen_Click() { files_.Open(); }
    void CmdNewSave_Click() { files_.Save(); }
    void CmdSaveAs_Click() { files_.SaveAs(); }
    void CmdPrint_Click(int list);
    void CmdExport(QChar delimiter = QLatin1Char(',')) override;
    void CmdImport(QChar delimiter) override;
    void ComNext_Click(int list);
    void FindBox_Enter(int list);
    // The used count and index of the current list, and a new used count after an import.
    void OutPutTotal(int& count, int& list) const;
    void InPutTotal(int count);
    // Appends records given as clipboard text after the used rows of the list.
    virtual void DisplayInGrid(int list, const QString& text, int& used) = 0;

    // --- State, for the main window and for tests ---
    RecordList& List(int list);
    RecordListModel* Model(int list) const { return model_[list]; }
    RecordTable* Grid(int list) const { return grid_[list]; }
    CellEditor* Editor() const { return Text2; }
    int UsedCount(int list) const { return used_[list]; }
    int CurrentList() const { return currentList_; }
    const QString& CurrentFile() const { return files_.File(); }
    QString UntitledFile() const { return files_.UntitledFile(); }
    // The computer list differs from its file: its revision is not the one last saved or
    // opened. Undoing back to that revision makes it unmodified again.
    bool Modified() const { return files_.Modified(); }
    // The SIM list holds changes that were not written to the card: its revision is not the one
    // last read from the card or written to it whole. Undoing back to that revision makes it
    // unchanged again.
    bool CardSideModified() const { return simRevision_ != cardRevision_; }
    // The editor lies over a cell of list `list` (row, column), or -1.
    bool EditorOverCell() const;
    int EditorList() const { return editList_; }
    const CardRecordStore& CardRecords() const { return store_; }

protected:
    // --- What the kinds of window add ---
    virtual void SetUpColumns(int list) = 0;  // titles, alignments, hidden columns
    virtual void ApplyColumnWidths(int list) = 0;
    virtual int CardRecordCount() const = 0;  // the card's records of this kind
    virtual bool RunRead(TransferRun& run, RecordList& list, int& doneCount) = 0;
    virtual bool RunWrite(TransferRun& run, const RecordList& list, int usedCount) = 0;
    virtual void BeforeWrite(Pellucard& /*engine*/) {}
    // The SIM list was read from the card, or a file into the computer list.
    virtual void AfterRead() {}
    virtual void AfterLoad(int /*list*/) {}
    // Whether to ask before a read replaces a SIM list that holds records; `writeEnabled` is
    // the state the write command had when the read was asked for.
    virtual bool AskBeforeRead(bool /*writeEnabled*/) const { return true; }
    // What the editor shows for a cell, and how it is set up there (lines, height, limits).
    virtual QString CellEditorText(int list, int row, int column);
    virtual void EditorPlaced(int list, int row, int column);
    // The editors over the lists were moved out of view.
    virtual void OnEditorHidden() {}
    // A find matched a cell of `column`: the column to edit, or 0 to search on (a column
    // that repeats another's text).
    virtual int FoundEditColumn(int column) const { return column; }
    // Opens the right editor on the list's current cell (Enter, a click on a cell).
    virtual void EditCell(int list) = 0;
    // The editor's text changed by the user's hand.
    virtual void Text2_Change();
    // Keeps what a dialling number may hold of the editor's text, with the caret where it was
    // and a hint for a refused character; returns the text that stays.
    QString FilterNumberInEditor(const QString& text);
    virtual bool Text2_KeyDown(QKeyEvent* event);
    virtual void Text2_KeyUp(QKeyEvent* event);
    // Ctrl+C: the marked records as clipboard text.
    virtual QString ClipboardText(int list) const = 0;
    // Columns handed to the print and export dialogs.
    virtual int OutputColumnCount() const { return 3; }
    // The records the print and export dialogs get for a list, and how many slots they fill;
    // by default the list itself.
    virtual const RecordList& OutputList(int list, int& used);
    // The editor's length limit for a cell of `list`.
    virtual void SetEditorLimit(int list, int column);
    // A cell of the list changed by the editor; rows of the SIM list are new records then.
    void CellEdited(int list, int row);
    // Columns of numbers, filtered as they are typed.
    virtual bool IsNumberColumn(int column) const = 0;
    // The last column a find searches.
    virtual int FindLastColumn() const = 0;

    // Captions, lists and the new untitled computer list; the kinds call it at the end of their
    // constructors, once their own part of the window exists.
    void Load();

    // --- Shared helpers for the kinds ---
    Session& CurrentSessionRef() { return CurrentSession(); }
    int Language() const;
    QString Text(MessageId id) const;
    const RecordWindowKind& Kind() const { return kind_; }
    // Lays the editor over the list's current cell; `show` focuses it.
    void ShowCellEditor(int list, bool show = true);
    // Moves the editor out of view.
    void HideCellEditor();
    void PlaceEditor();
    // The state of a list, to be handed to RecordChange after changing it.
    ListState CaptureList(int list) const;
    // Puts the change of `list` since `before` on the undo history (nothing when the list is
    // as it was). Changes with the same non-zero merge key become one step.
    void RecordChange(int list, const ListState& before, int mergeKey = 0);
    // A new key for the edits of the editor's next stay in a cell.
    int NewEditKey() { return ++lastEditKey_; }
    void SetTitle(int list, const QString& title);
    // Pixels of a width given in twips.
    static int Twips(int twips);
    int MinimumRowHeight() const;
    void MarkNewRecords(int list, int firstRow, int lastRow);
    void ClearFindStates();
    QWidget* DialogParent();

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

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Controls, named as the window's design names them.
    std::array<RecordListModel*, 2> model_{};
    std::array<RecordTable*, 2> grid_{};
    std::array<QGroupBox*, 2> FRecord{};
    std::array<QPushButton*, 2> Cmddelsim{};
    std::array<QPushButton*, 2> CmdNewRecord{};
    std::array<QLabel*, 2> LFind{};
    std::array<QLineEdit*, 2> FindBox{};
    std::array<QPushButton*, 2> ComNext{};
    std::array<QPushButton*, 2> CmdPrint{};
    QPushButton* readButton_ = nullptr;  // Connectosim / Command3
    QPushButton* CmdSaveSim = nullptr;
    QPushButton* CmdStop = nullptr;
    QPushButton* CmdRight = nullptr;
    QPushButton* Cmdallright = nullptr;
    QPushButton* CmdLeft = nullptr;
    QPushButton* Cmdallleft = nullptr;
    QPushButton* CmdNewNewrecord = nullptr;
    QPushButton* CmdNewOpen = nullptr;
    QPushButton* CmdNewSave = nullptr;
    QPushButton* CmdSaveAs = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* countLabel_ = nullptr;  // RecordL / LTotal
    QLabel* nowLabel_ = nullptr;    // LNowRec / LNowRecord
    QScrollArea* Picture1 = nullptr;
    QWidget* content_ = nullptr;
    CellEditor* Text2 = nullptr;

    std::array<int, 2> used_{0, 0};
    int currentList_ = kComputerList;
    int markState_ = 0;
    std::array<int, 2> sortState_{0, 0};
    std::array<FindState, 2> find_{};
    std::array<int, 2> pressRow_{0, 0};
    std::array<int, 2> pressColumn_{0, 0};
    int editList_ = -1;  // the list the editor lies over, -1 when out of view
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
    void BuildWidgets();
    void InitList(int list, int slotCount);
    void UpdateCardState();
    bool AskAboutUnsavedWork() override;
    // Copies the other list's marked records after the used rows of `target`.
    void CopyMarkedTo(int target);
    // Replaces `target` by all records of the other list, asking first when it holds some.
    void CopyAllTo(int target);
    // DocumentOwner: the computer list is the window's document.
    RecordList& DocumentList() override { return List(kComputerList); }
    int& DocumentUsedCount() override { return used_[kComputerList]; }
    void BeforeFileCommand() override { HideCellEditor(); }
    void DocumentReplaced() override;
    void ShowDocumentName(const QString& title) override { SetTitle(kComputerList, title); }

    // `askFirst`: a write asks "Do you want to save it to SIM ?" (not when the user already
    // chose Write in the question about unwritten changes).
    bool CardAccessGate(bool writing, bool askFirst, CardGate::Hold& hold);
    // Runs a read or a write; true when it went through to the end.
    bool Transfer(bool writing, bool askFirst = true);
    // The SIM list's unwritten changes before the window goes: Write (true once written whole),
    // Discard (true) or Cancel (false).
    bool KeepCardSideChanges();
    // The two runs inside the gate; true when they went through to the end.
    bool ReadSimList(TransferRun& run);
    bool WriteSimList(TransferRun& run);
    // Whether this window knows what the card now in the reader holds in slot `slot`: it read
    // the record there, or wrote it.
    bool SlotKnown(int slot) const;
    // Slots of the card that the user filled or emptied without their card content ever having
    // been read: writing them asks first.
    QList<int> SlotsTypedOverUnread();
    void ShowOutput(RecordList& target, int list);
    void RestoreListState(int list, const ListState& state, int revision) override;

    RecordWindowKind kind_;
    DocumentFileCommands files_;
};

}  // namespace pellucard
