// The record window's card commands: the card-access gate, reading and writing.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "engine/pellucard.h"
#include "records/dialog_seam.h"
#include "records/record_slots.h"
#include "shell/card_info.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"
#include "windows/record_list_model.h"
#include "windows/record_window.h"

namespace pellucard {

namespace {

constexpr int kExamineAtOnceMs = 1;
// PIN dialogs offered in one gate before it gives up; each either opens the card or ends it,
// so this only bounds a card that keeps answering against its own counters.
constexpr int kMaxPinRounds = 8;

// The window's progress bar and result label, with the session's yield.
class WindowProgress final : public TransferProgress {
public:
    WindowProgress(QProgressBar& bar, QLabel& label, Session& session, const CardGate::Hold& hold)
        : bar_(bar), label_(label), session_(session), hold_(hold) {}
    void setMaximum(int maximum) override {
        bar_.setMaximum(std::max(maximum, 1));
        bar_.setValue(0);
    }
    void setValue(int value) override { bar_.setValue(std::min(value, bar_.maximum())); }
    void setStatus(const QString& text) override { label_.setText(text); }
    void yield() override { session_.yield(); }
    bool stopRequested() override { return hold_.stopRequested(); }

private:
    QProgressBar& bar_;
    QLabel& label_;
    Session& session_;
    const CardGate::Hold& hold_;
};

}  // namespace

bool RecordWindow::cardAccessGate(bool writing, bool askFirst, CardGate::Hold& hold) {
    Session& session = currentSession();
    Pellucard& engine = hold.engine();
    if (!engine.ReaderPresent())
        return false;

    const std::string cardId = engine.ReadCardInfo(CardInfoItem::Iccid).value.value_or("");
    const std::optional<std::string>& known = session.cardInfo().CardId;
    if (!known || QString::fromStdString(cardId).compare(QString::fromStdString(*known),
                                                         Qt::CaseInsensitive) != 0) {
        // Another card than the one last examined: nothing is transferred, the card
        // information is read again and the user repeats the command.
        session.setCardId(QString());
        readCardInfo(session, hold);
        return false;
    }
    if (writing) {
        beforeWrite(engine);
        MessageRequest question = CatalogueMessage(MessageId::SaveToSimQuestion, language(),
                                                   DialogButtons::YesNo, DialogIcon::Question);
        question.title = windowTitle();  // the phone book or the messages
        if (askFirst && ShowMessage(question) != DialogAnswer::Yes)
            return false;
        if (!engine.ReaderPresent())
            return false;
    }
    // The PIN state decides what is asked; one that could not be read is read first, and is
    // never taken for a blocked PIN1.
    if (!session.cardInfo().Pin1Attempts)
        readPinCounters(session, hold);
    if (!session.cardInfo().Pin1Attempts) {
        nowLabel_->setText(text(MessageId::PinStateNotRead));
        return false;
    }
    for (int round = 0; round <= kMaxPinRounds; ++round) {
        const CardInfo& info = session.cardInfo();
        const bool present = engine.CardPresent();
        if (info.CardId && isKnownAboveZero(info.Pin1Attempts) && info.Pin1Open && present)
            return true;
        if (!info.CardId || !engine.CardPresent())
            return false;
        if (round == kMaxPinRounds)
            return false;
        if (IsKnown(info.Pin1Attempts, 0))
            host().pinDialogs().execChangePin(1, 0, hold);
        else
            host().pinDialogs().execVerifyPin(0, hold);
        if (IsKnown(session.cardInfo().Pin1Attempts, 0) || !session.cardInfo().Pin1Open)
            return false;
    }
    return false;
}

void RecordWindow::readCard() {
    transfer(false);
}

void RecordWindow::writeToCard() {
    transfer(true);
}

void RecordWindow::stopCardRun() {
    if (busy_)
        currentSession().gate().requestStop();
}

bool RecordWindow::slotKnown(int slot) const {
    return knownGeneration_ == const_cast<RecordWindow*>(this)->currentSession().cardGeneration() &&
           slot >= 0 && slot < static_cast<int>(knownSlots_.size()) && knownSlots_[slot];
}

QList<int> RecordWindow::slotsTypedOverUnread() {
    RecordList& sim = recordList(kSimList);
    QList<int> found;
    const int last = std::min(cardRecordCount(), sim.LastSlot());
    for (int slot = 1; slot <= last; ++slot) {
        // Something the user put there (typed, pasted, copied, emptied) over a slot whose card
        // content was never read.
        if (!slotKnown(slot) && sim.Tag(slot) == 0)
            found.append(slot);
    }
    return found;
}

bool RecordWindow::writeSimList(TransferRun& run) {
    const QList<int> overUnread = slotsTypedOverUnread();
    if (!overUnread.isEmpty()) {
        MessageRequest question = CatalogueMessage(MessageId::WriteOverUnreadQuestion, language(),
                                                   DialogButtons::YesNo, DialogIcon::Question);
        question.text = question.text.arg(slotRanges(overUnread));
        if (ShowMessage(question) != DialogAnswer::Yes)
            run.leaveAlone = QSet<int>(overUnread.begin(), overUnread.end());
    }
    const bool complete = runWrite(run, recordList(kSimList), used_[kSimList]);
    // What was written is what the card holds there now.
    if (knownGeneration_ != run.cardGeneration) {
        knownSlots_.assign(kSlotCapacity + 1, false);
        knownGeneration_ = run.cardGeneration;
    }
    for (const int slot : run.writtenSlots) {
        if (slot < static_cast<int>(knownSlots_.size()))
            knownSlots_[slot] = true;
    }
    // Written whole: the card holds what the list shows.
    if (complete)
        cardRevision_ = simRevision_;
    return complete;
}

bool RecordWindow::readSimList(TransferRun& run) {
    Session& session = currentSession();
    RecordList& sim = recordList(kSimList);
    // What the read replaces is one undo step, put on the history once the run ended.
    const ListState replaced = captureList(kSimList);
    // The list is emptied only once the card's file was entered: a read that cannot even start
    // leaves it as it was.
    bool entered = false;
    run.entered = [&] {
        entered = true;
        RecordList::BulkUpdate bulk(sim);
        sim.SetRows(1);
        sim.SetRows(kSlotCapacity + 1);
        RenumberRows(sim, kSlotCapacity);
        // Until a record is read into it, a slot's card content is unknown.
        for (int row = 1; row < sim.Rows(); ++row)
            sim.SetTag(row, kUnknownSlotTag);
        // The store keeps the records of earlier reads: undoing this read brings back rows
        // whose tags name them, and those still go back to the card as they were read.
        store_.setGeneration(session.cardGeneration());
        sortState_[kSimList] = 0;
        find_[kSimList] = {};
    };
    int done = 0;
    const bool complete = runRead(run, sim, done);
    if (!entered)
        return false;
    knownSlots_.assign(kSlotCapacity + 1, false);
    knownGeneration_ = session.cardGeneration();
    for (int slot = 1; slot <= done && slot <= kSlotCapacity; ++slot)
        knownSlots_[slot] = true;
    // Slots beyond the card's records are no card content at all.
    const int cardRecords = cardRecordCount();
    if (cardRecords > 0) {
        for (int row = cardRecords + 1; row < sim.Rows(); ++row)
            sim.SetTag(row, 0);
    }
    used_[kSimList] = FindLastUsedRow(sim, done, kind().fieldCount);
    // A read cut short keeps saying why; a whole one says what it read, and how many of the
    // records hold an entry (the empty slots among them are records too).
    if (complete)
        nowLabel_->setText(readTotalText(
            done, CountFilledRows(sim, used_[kSimList], kind().fieldCount), language()));
    afterRead();
    recordChange(kSimList, replaced);
    // What the list shows now came from the card (slots not reached stay unread).
    cardRevision_ = simRevision_;
    return complete;
}

bool RecordWindow::transfer(bool writing, bool askFirst) {
    if (writing && listReadOnly(kSimList))
        return false;
    Session& session = currentSession();
    // One card run at a time: while another holds the card (the other record window, a PIN
    // operation, a backup) this does nothing; while the polling looks at the card the command
    // is carried out once it has let go.
    const bool writeEnabled = writeButton_->isEnabled();
    std::unique_ptr<CardGate::Hold> hold = session.gate().acquireForCommand(
        this, [this, writing] { writing ? writeToCard() : readCard(); });
    if (!hold)
        return false;
    hideCellEditor();
    host().stopPolling();
    busy_ = true;
    updateCardState();
    bool complete = false;
    const bool usable = cardAccessGate(writing, askFirst, *hold);
    if (usable) {
        WindowProgress progress(*progressBar_, *nowLabel_, session, *hold);
        TransferRun run{hold->engine(), progress, store_, language(), session.cardGeneration()};
        if (writing)
            complete = readyToWrite(*hold) && writeSimList(run);
        else if (used_[kSimList] <= 0 || !askBeforeRead(writeEnabled) ||
                 ShowMessage(CatalogueMessage(MessageId::OverwriteRecordQuestion, language(),
                                              DialogButtons::YesNo, DialogIcon::Question)) ==
                     DialogAnswer::Yes)
            complete = readSimList(run);
    }
    busy_ = false;
    const bool cardAnswered = hold->engine().CardPresent();
    hold.reset();
    if (!cardAnswered)
        host().startPolling(kExamineAtOnceMs);
    else
        host().resumePolling();
    updateCardState();
    return complete;
}

}  // namespace pellucard
