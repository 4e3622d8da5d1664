#pragma once

namespace pellucard {

// The Edit menu's commands on the records of the active child window, for the windows that
// keep records (the main window asks the active one whether it is one of these).
//
// Copy, Paste and Delete act on the rows marked by their slot numbers when there are any, and
// otherwise on the current cell.
class EditCommands {
public:
    virtual ~EditCommands() = default;

    virtual void copyToClipboard() = 0;
    virtual void pasteFromClipboard() = 0;
    virtual void deleteMarkedOrCell() = 0;
    // Puts the focus into the find box of the list in use, its text selected.
    virtual void focusFindBox() = 0;
    // The next match of the find box's text.
    virtual void findNextMatch() = 0;
};

}  // namespace pellucard
