#include "shell/window_factory.h"

#include "shell/session.h"
#include "shell/setting_window.h"

namespace pellucard {

void WindowFactory::Register(WindowIndex windowIndex, Creator creator) {
    creators_[windowIndex] = std::move(creator);
}

bool WindowFactory::Has(WindowIndex windowIndex) const {
    return creators_.count(windowIndex) != 0;
}

ChildWindow* WindowFactory::Create(WindowIndex windowIndex, ShellHost& host) const {
    const auto found = creators_.find(windowIndex);
    return found == creators_.end() ? nullptr : found->second(host);
}

void RegisterShellWindows(WindowFactory& factory) {
    factory.Register(WindowIndex::Setting, [](ShellHost& host) { return new Setting(host); });
}

}  // namespace pellucard
