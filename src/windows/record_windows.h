#pragma once

namespace pellucard {

class WindowFactory;

// Registers the record windows with the main window's factory: the personal record window
// (2), the phone book window (4) and the SMS window (5), and the text export and import
// dialogs that their File menu entries open.
void registerRecordWindows(WindowFactory& factory);

}  // namespace pellucard
