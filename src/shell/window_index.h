#pragma once

namespace pellucard {

// Window indexes: what the left panel's buttons and the View menu select, and what
// CurrentWindow holds.
enum class WindowIndex : int {
    Print = 0,
    PersonRec = 2,
    SimRec = 4,
    SmsRec = 5,
    Setting = 6,
    Unloaded = 100,  // the current child window was closed
    None = 200,      // another child became active, or exit was requested
};
inline constexpr int kWindowButtonCount = 7;  // Command1(0..6); 1 and 3 select no window

inline bool IsChildWindow(WindowIndex index) {
    return index == WindowIndex::PersonRec || index == WindowIndex::SimRec ||
           index == WindowIndex::SmsRec || index == WindowIndex::Setting;
}

}  // namespace pellucard
