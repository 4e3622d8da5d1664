#pragma once

#include <QMap>

#include <memory>

#include "windows/record_window.h"
#include "windows/sms_joins.h"

class QScrollBar;

namespace pellucard {

class SmsListProxy;

// The SMS window: the card's short messages beside an SMS file. A message's text is shown
// wrapped over several lines of its row; the editor takes free text within what one SMS holds
// and numbers, and a slider picks the validity period of a message to be sent.
class SMSRec final : public RecordWindow {
    Q_OBJECT

public:
    explicit SMSRec(ShellHost& host, QWidget* parent = nullptr);

    void Command3_Click() { ReadCard_Click(); }
    void DisplayInGrid(int list, const QString& text, int& used) override;

    // Opens the right editor on the list's current cell.
    void EditMessage(int list);
    // Recomputes the shown text and the height of rows 1..used from the typed text.
    void iniMSFheight(int list, int used);
    // A new message's defaults in the current row of the list.
    void initheMessage(int list, int row);

    QScrollBar* ValidityPicker() const { return HScroll1; }
    // Characters the editor still takes ("" while it is not over a message).
    QString CharactersLeft() const;
    // The row height for a message of `lines` shown lines.
    int MessageRowHeight(int lines) const;
    // The messages sent in parts that the list shows joined, by the row of their first part.
    const QMap<int, JoinedMessage>& JoinedMessages(int list) const { return joined_[list]; }

protected:
    void SetUpColumns(int list) override;
    void ApplyColumnWidths(int list) override;
    int CardRecordCount() const override;
    bool RunRead(TransferRun& run, RecordList& list, int& doneCount) override;
    bool RunWrite(TransferRun& run, const RecordList& list, int usedCount) override;
    void AfterRead() override;
    void AfterLoad(int list) override;
    bool AskBeforeRead(bool writeEnabled) const override { return writeEnabled; }
    void EditCell(int list) override { EditMessage(list); }
    void Text2_Change() override;
    bool Text2_KeyDown(QKeyEvent* event) override;
    void Text2_KeyUp(QKeyEvent* event) override;
    QString ClipboardText(int list) const override;
    int OutputColumnCount() const override { return 8; }
    const RecordList& OutputList(int list, int& used) override;
    void SetEditorLimit(int list, int column) override;
    QString CellEditorText(int list, int row, int column) override;
    void EditorPlaced(int list, int row, int column) override;
    void OnEditorHidden() override;
    int FoundEditColumn(int column) const override;
    bool IsNumberColumn(int column) const override;
    int FindLastColumn() const override { return 7; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Moves to another cell from the editor or the picker, then opens the editor there.
    void MoveTo(int list, int row, int column);
    void ShowValidityPicker(int list);
    void HScroll1_Change(int value);
    void FitMessageRow(int list, int row);
    void UpdateCounter();
    int ExtraLineHeight() const;
    // Finds the messages sent in parts again, folds their later parts under the first and
    // fits the first part's row to the joined text.
    void UpdateJoinedMessages(int list);
    // What the message column shows in the first part's row of a joined message, else "".
    QString JoinedShownText(int list, int row) const;

    std::array<SmsListProxy*, 2> proxy_{};
    QScrollBar* HScroll1 = nullptr;
    QLabel* counter_ = nullptr;
    int pickerList_ = -1;
    int pickerRow_ = 0;
    int pickerKey_ = 0;
    std::array<QMap<int, JoinedMessage>, 2> joined_;
    std::unique_ptr<RecordList> output_;  // the records last handed to printing or export  // undo
                                          // merge key of the picker's stay on a message
    int lastKey_ = 0;
};

}  // namespace pellucard
