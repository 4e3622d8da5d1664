#include "shell/session.h"

#include <QCoreApplication>

#include "catalogue/catalogue.h"
#include "engine/clock.h"
#include "engine/hid_report_link.h"
#include "engine/pellucard.h"
#include "platform/reader_session.h"

namespace pellucard {

Session::Session(std::unique_ptr<ReaderSession> reader) : reader_(std::move(reader)) {
    if (reader_)
        linkClock_ = makeLinkClock(*reader_);
    if (reader_ && reader_->engine)
        gate_ = std::make_unique<CardGate>(*reader_->engine);
}

std::unique_ptr<Clock> Session::makeLinkClock(ReaderSession& reader) {
    // The link's waits (up to 100 ms a read, 25 reads a report, 10 sends) let the windows run,
    // so that a silent reader never freezes them; the card gate refuses every other card command
    // meanwhile.
    if (!reader.link)
        return nullptr;
    Clock& base = reader.clock ? *reader.clock : SystemClock();
    auto clock = std::make_unique<IdleHookClock>(base, [this] { yield(); });
    reader.link->SetClock(*clock);
    return clock;
}

bool Session::replaceReader(std::unique_ptr<ReaderSession> reader) {
    if (!reader || !reader->engine || !gate_ || !gate_->replaceEngine(*reader->engine))
        return false;
    std::unique_ptr<Clock> clock = makeLinkClock(*reader);
    // The old engine goes before the clock its link waits on.
    std::swap(reader_, reader);
    reader.reset();
    linkClock_ = std::move(clock);
    // What was read belongs to the old reader's card.
    forgetCard();
    return true;
}

Session::~Session() {
    // The gate lets go of the engine first; the engine goes before the clock its link waits on.
    gate_.reset();
    reader_.reset();
}

bool Session::isVirtualReader() const {
    return reader_->virtualReader != nullptr;
}

void Session::yield() {
    // A yield can happen inside another one (a dialog's work while a poll yields); only the
    // outermost may let polling resume.
    const bool allowed = pollingAllowed_;
    pollingAllowed_ = false;
    QCoreApplication::processEvents();
    pollingAllowed_ = allowed;
}

void Session::setCardInfo(const CardInfo& info) {
    if (info == cardInfo_)
        return;
    cardInfo_ = info;
    emit cardInfoChanged();
}

void Session::setCardId(const QString& cardId) {
    CardInfo info = cardInfo_;
    info.CardId = cardId.toStdString();
    setCardInfo(info);
}

void Session::forgetCard() {
    ++cardGeneration_;
    setCardInfo(CardInfo{});
}

QString Session::text(MessageId id) const {
    return Message(id, languageIndex_);
}

}  // namespace pellucard
