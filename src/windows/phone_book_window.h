#pragma once

#include "windows/record_window.h"
#include "windows/usim_rows.h"

namespace pellucard {

// The phone book window: the card's abbreviated dialling numbers beside a contact file.
class PhoneBookWindow final : public RecordWindow {
    Q_OBJECT

public:
    explicit PhoneBookWindow(ShellHost& host, QWidget* parent = nullptr);

    void appendClipboardRecords(int list, const QString& text, int& used) override;

protected:
    void setUpColumns(int list) override;
    void applyColumnWidths(int list) override;
    int cardRecordCount() const override;
    bool runRead(TransferRun& run, RecordList& list, int& doneCount) override;
    bool runWrite(TransferRun& run, const RecordList& list, int usedCount) override;
    void beforeWrite(Pellucard& engine) override;
    void editCell(int list) override;
    QString clipboardText(int list) const override;
    bool isNumberColumn(int column) const override;
    int findLastColumn() const override { return 2; }
    void afterRead() override;
    void afterLoad(int list) override;
    void editorTextChanged() override;
    void setEditorLimit(int list, int column) override;
    void editorPlaced(int list, int row, int column) override;
    // The file keeps the USIM columns in the contact fields that mean the same.
    SlotTrailers documentTrailers() override;
    void trailersOpened(const SlotTrailers& trailers) override;

public:
    // The USIM columns show in the SIM list when the card read last has a USIM phone book, and
    // in the computer list when it holds a value of them or the SIM list shows them.
    bool usimColumnsShown(int list) const;
    const UsimCardBook& usimBook() const { return usimBook_; }

private:
    void showUsimColumns();
    // The columns of the clipboard form: name and number, and the USIM columns the list shows.
    QList<int> clipboardColumns(int list) const;

    UsimCardBook usimBook_;
};

}  // namespace pellucard
