#include "shell/window_factory.h"

#include "shell/card_info_window.h"
#include "shell/session.h"

namespace pellucard {

void WindowFactory::registerWindow(WindowIndex windowIndex, Creator creator) {
    creators_[windowIndex] = std::move(creator);
}

bool WindowFactory::has(WindowIndex windowIndex) const {
    return creators_.count(windowIndex) != 0;
}

ChildWindow* WindowFactory::create(WindowIndex windowIndex, ShellHost& host) const {
    const auto found = creators_.find(windowIndex);
    return found == creators_.end() ? nullptr : found->second(host);
}

void registerShellWindows(WindowFactory& factory) {
    factory.registerWindow(WindowIndex::CardInfo,
                           [](ShellHost& host) { return new CardInfoWindow(host); });
}

}  // namespace pellucard
