#include "windows/usim_write_bookkeeping.h"

#include "windows/record_columns.h"

namespace pellucard {

namespace {

// A part of a write on the window's progress: the bar and the lines of the reading's progress
// are shown, every other text is kept back for the caller to put together with its own, and a
// stop is honoured only when the part may be stopped.
class PartProgress final : public TransferProgress {
public:
    PartProgress(TransferProgress& shown, int languageIndex, bool stoppable)
        : shown_(shown),
          progressLine_(Message(MessageId::UpLoadingRecord, languageIndex)),
          stoppable_(stoppable) {}
    void setMaximum(int maximum) override { shown_.setMaximum(maximum); }
    void setValue(int value) override { shown_.setValue(value); }
    void setStatus(const QString& text) override {
        if (text.startsWith(progressLine_))
            shown_.setStatus(text);
        else
            said_ = text;
    }
    void yield() override { shown_.yield(); }
    bool stopRequested() override { return stoppable_ && shown_.stopRequested(); }

    // The last text kept back, if any.
    const QString& said() const { return said_; }

private:
    TransferProgress& shown_;
    const QString progressLine_;
    const bool stoppable_;
    QString said_;
};

}  // namespace

bool readUsimBookBeforeWrite(TransferRun& run, UsimCardBook& book) {
    PartProgress part(run.progress, run.languageIndex, true);
    TransferRun reading{run.engine, part, run.store, run.languageIndex, run.cardGeneration};
    // No row takes the card's fields: the rows are what the user wants written, not the card.
    RecordList noRows(1, usim_column::kCount);
    if (readUsimFields(reading, noRows, 0, book))
        return true;
    run.progress.setStatus(part.said() + Message(MessageId::NothingWritten, run.languageIndex));
    return false;
}

void writeUsimFieldsOfPartialRun(TransferRun& run, const RecordList& list, UsimCardBook& book,
                                 const QString& ending) {
    if (run.writeEnding != RunEnding::Stopped && run.writeEnding != RunEnding::Refused)
        return;
    PartProgress part(run.progress, run.languageIndex, false);
    TransferRun catchUp{run.engine, part, run.store, run.languageIndex, run.cardGeneration};
    catchUp.writtenSlots = run.writtenSlots;
    writeUsimFields(catchUp, list, book);
    run.progress.setStatus(part.said().isEmpty() ? ending
                                                 : ending + QStringLiteral(" ") + part.said());
}

}  // namespace pellucard
