#include "shell/card_gate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include "engine/pellucard.h"

namespace pellucard {

CardGate::Hold::~Hold() {
    gate_.release();
}

Pellucard& CardGate::Hold::engine() {
    return *gate_.engine_;
}

bool CardGate::Hold::stopRequested() const {
    return work_ == Work::Run && gate_.stopRequested_;
}

CardGate::CardGate(Pellucard& engine, QObject* parent) : QObject(parent), engine_(&engine) {
    // Escape is seen before any widget gets it, so that it stops a run whatever has the focus.
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
}

CardGate::~CardGate() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeEventFilter(this);
}

std::unique_ptr<CardGate::Hold> CardGate::acquire(Work work) {
    if (holder_)
        return nullptr;
    holder_ = work;
    if (work == Work::Run)
        stopRequested_ = false;
    emit changed();
    return std::unique_ptr<Hold>(new Hold(*this, work));
}

std::unique_ptr<CardGate::Hold> CardGate::acquireForCommand(QObject* context,
                                                            std::function<void()> retry) {
    if (holder_ == Work::Poll && retry) {
        afterPoll_.push_back({context, std::move(retry)});
        return nullptr;
    }
    return acquire(Work::Run);
}

void CardGate::release() {
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
    emit changed();
}

bool CardGate::replaceEngine(Pellucard& engine) {
    if (holder_)
        return false;
    engine_ = &engine;
    emit changed();
    return true;
}

bool CardGate::readerPresent() const {
    return engine_->ReaderPresent();
}

bool CardGate::cardPresent() const {
    return engine_->CardPresent();
}

void CardGate::requestStop() {
    if (runActive())
        stopRequested_ = true;
}

bool CardGate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !runActive() || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // A modal window (a question, the PIN dialog of a run, a progress window) answers its own
    // Escape; anywhere else Escape belongs to the run.
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier &&
        QApplication::activeModalWidget() == nullptr) {
        requestStop();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pellucard
