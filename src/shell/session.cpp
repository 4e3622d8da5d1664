#include "shell/session.h"

#include <QCoreApplication>

#include "catalogue/catalogue.h"
#include "engine/pellucard.h"
#include "platform/reader_session.h"

namespace pellucard {

Session::Session(std::unique_ptr<ReaderSession> reader) : reader_(std::move(reader)) {}

Session::~Session() = default;

Pellucard& Session::Engine() {
    return *reader_->engine;
}

bool Session::IsVirtualReader() const {
    return reader_->virtualReader != nullptr;
}

void Session::Yield() {
    // A yield can happen inside another one (a dialog's work while a poll yields); only the
    // outermost may let polling resume.
    const bool allowed = PollingAllowed;
    PollingAllowed = false;
    QCoreApplication::processEvents();
    PollingAllowed = allowed;
}

QString Session::Text(int id) const {
    return Message(id, LanguageIndex);
}

}  // namespace pellucard
