#pragma once

#include <QMap>

#include <memory>

#include "windows/record_columns.h"
#include "windows/record_window.h"
#include "windows/sms_joins.h"

class QScrollBar;

namespace pellucard {

class SmsListProxy;

// The SMS window: the card's short messages beside an SMS file. A message's text is shown
// wrapped over several lines of its row; the editor takes free text within what one SMS holds
// and numbers, and a slider picks the validity period of a message to be sent.
class SmsWindow final : public RecordWindow {
    Q_OBJECT

public:
    explicit SmsWindow(ShellHost& host, QWidget* parent = nullptr);

    void appendClipboardRecords(int list, const QString& text, int& used) override;

    // Opens the right editor on the list's current cell.
    void editMessage(int list);
    // Recomputes the shown text and the height of rows 1..used from the typed text.
    void updateMessageRowHeights(int list, int used);
    // A new message's defaults in the current row of the list.
    void initNewMessage(int list, int row);

    QScrollBar* validityPicker() const { return validityPicker_; }
    // Characters the editor still takes ("" while it is not over a message).
    QString charactersLeft() const;
    // The row height for a message of `lines` shown lines.
    int messageRowHeight(int lines) const;
    // The messages sent in parts that the list shows joined, by the row of their first part.
    const QMap<int, JoinedMessage>& joinedMessages(int list) const { return joined_[list]; }

protected:
    void setUpColumns(int list) override;
    void applyColumnWidths(int list) override;
    int cardRecordCount() const override;
    bool runRead(TransferRun& run, RecordList& list, int& doneCount) override;
    bool runWrite(TransferRun& run, const RecordList& list, int usedCount) override;
    void afterRead() override;
    void afterLoad(int list) override;
    bool askBeforeRead(bool writeEnabled) const override { return writeEnabled; }
    void editCell(int list) override { editMessage(list); }
    void editorTextChanged() override;
    bool editorKeyPressed(QKeyEvent* event) override;
    void editorKeyReleased(QKeyEvent* event) override;
    QString clipboardText(int list) const override;
    QString cellTextToCopy(int list, int row, int column) const override;
    int outputColumnCount() const override { return 8; }
    // The message prints as typed, its lines broken at the printed column's width.
    int printedTextColumn(int column) const override {
        return column == sms_column::kShown ? sms_column::kText : column;
    }
    const RecordList& outputList(int list, int& used) override;
    const RecordList& printedList(int list, int& used) override;
    const RecordList& findList(int list) override;
    // Puts the status and validity period of every row of `records` as the window shows them.
    void showStoredWords(RecordList& records) const;
    void setEditorLimit(int list, int column) override;
    QString cellEditorText(int list, int row, int column) override;
    void editorPlaced(int list, int row, int column) override;
    void onEditorHidden() override;
    int foundEditColumn(int column) const override;
    bool isNumberColumn(int column) const override;
    int findLastColumn() const override { return 7; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Moves to another cell from the editor or the picker, then opens the editor there.
    void moveTo(int list, int row, int column);
    void showValidityPicker(int list);
    void setValidityFromPicker(int value);
    void fitMessageRow(int list, int row);
    void updateCounter();
    int extraLineHeight() const;
    // Finds the messages sent in parts again, folds their later parts under the first and
    // fits the first part's row to the joined text.
    void updateJoinedMessages(int list);
    // What the message column shows in the first part's row of a joined message, else "".
    QString joinedShownText(int list, int row) const;

    // The parts of messages sent in parts travel in the slots of the SMS file (PartMark), so
    // that an opened file shows them joined again.
    SlotTrailers documentTrailers() override;
    void trailersOpened(const SlotTrailers& trailers) override;

    std::array<SmsListProxy*, 2> proxy_{};
    QScrollBar* validityPicker_ = nullptr;
    QLabel* counter_ = nullptr;
    int pickerList_ = -1;
    int pickerRow_ = 0;
    int pickerKey_ = 0;
    std::array<QMap<int, JoinedMessage>, 2> joined_;
    std::unique_ptr<RecordList> searched_;  // the records Find last searched
    std::unique_ptr<RecordList> output_;  // the records last handed to printing or export  // undo
                                          // merge key of the picker's stay on a message
    int lastKey_ = 0;
};

}  // namespace pellucard
