#pragma once

#include "windows/record_window.h"

namespace pellucard {

// The phone book window: the card's abbreviated dialling numbers beside a contact file.
class SimRec final : public RecordWindow {
    Q_OBJECT

public:
    explicit SimRec(ShellHost& host, QWidget* parent = nullptr);

    void Connectosim_Click() { ReadCard_Click(); }
    void DisplayInGrid(int list, const QString& text, int& used) override;

protected:
    void SetUpColumns(int list) override;
    void ApplyColumnWidths(int list) override;
    int CardRecordCount() const override;
    bool RunRead(TransferRun& run, RecordList& list, int& doneCount) override;
    bool RunWrite(TransferRun& run, const RecordList& list, int usedCount) override;
    void BeforeWrite(Pellucard& engine) override;
    void EditCell(int list) override;
    QString ClipboardText(int list) const override;
    bool IsNumberColumn(int column) const override;
    int FindLastColumn() const override { return 2; }
};

}  // namespace pellucard
