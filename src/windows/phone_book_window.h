#pragma once

#include "windows/record_window.h"

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
};

}  // namespace pellucard
