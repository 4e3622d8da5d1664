#pragma once

namespace pellucard {

class WindowFactory;

// Registers the record windows with the main window's factory: the phone book window (4)
// and the SMS window (5).
void RegisterRecordWindows(WindowFactory& factory);

}  // namespace pellucard
