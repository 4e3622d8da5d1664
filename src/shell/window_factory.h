#pragma once

#include <functional>
#include <map>

#include "shell/window_index.h"

namespace pellucard {

class ChildWindow;
class ShellHost;

// Makes the main window's child windows by window index: 2 personal records, 4 phone book,
// 5 SMS, 6 SIM card information. The main window asks for a window the first time it is
// selected and owns it from then on. The record windows register themselves from
// windows/record_windows.h:
//     void registerRecordWindows(WindowFactory& factory);
// which the program calls at start-up when that header exists.
class WindowFactory {
public:
    // Returns a new window without a parent.
    using Creator = std::function<ChildWindow*(ShellHost& host)>;

    void registerWindow(WindowIndex windowIndex, Creator creator);
    bool has(WindowIndex windowIndex) const;
    // Nullptr when no window is registered for the index.
    ChildWindow* create(WindowIndex windowIndex, ShellHost& host) const;

private:
    std::map<WindowIndex, Creator> creators_;
};

// Registers the windows of the shell itself (the SIM card information window).
void registerShellWindows(WindowFactory& factory);

}  // namespace pellucard
