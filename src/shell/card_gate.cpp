#include "shell/card_gate.h"

#include <QTimer>

#include "engine/pellucard.h"

namespace pellucard {

CardGate::Hold::~Hold() {
    gate_.Release();
}

Pellucard& CardGate::Hold::Engine() {
    return gate_.engine_;
}

bool CardGate::Hold::StopRequested() const {
    return work_ == Work::Run && gate_.stopRequested_;
}

CardGate::CardGate(Pellucard& engine, QObject* parent) : QObject(parent), engine_(engine) {}

CardGate::~CardGate() = default;

std::unique_ptr<CardGate::Hold> CardGate::Acquire(Work work) {
    if (holder_)
        return nullptr;
    holder_ = work;
    if (work == Work::Run)
        stopRequested_ = false;
    emit Changed();
    return std::unique_ptr<Hold>(new Hold(*this, work));
}

std::unique_ptr<CardGate::Hold> CardGate::AcquireForCommand(QObject* context,
                                                            std::function<void()> retry) {
    if (holder_ == Work::Poll && retry) {
        afterPoll_.push_back({context, std::move(retry)});
        return nullptr;
    }
    return Acquire(Work::Run);
}

void CardGate::Release() {
    const bool run = holder_ == Work::Run;
    holder_.reset();
    if (run)
        stopRequested_ = false;
    // Commands that came during the poll run after it, each from the event loop, so that none
    // runs inside the code that let go of the card; the first takes the card, the others find
    // it held and are refused.
    std::vector<Retry> queued;
    queued.swap(afterPoll_);
    for (Retry& retry : queued) {
        if (retry.context)
            QTimer::singleShot(0, retry.context, std::move(retry.call));
    }
    emit Changed();
}

bool CardGate::ReaderPresent() const {
    return engine_.ReaderPresent();
}

bool CardGate::CardPresent() const {
    return engine_.CardPresent();
}

void CardGate::RequestStop() {
    if (RunActive())
        stopRequested_ = true;
}

}  // namespace pellucard
