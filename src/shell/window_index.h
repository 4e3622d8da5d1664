#pragma once

namespace pellucard {

// Window indexes: what the left panel's buttons and the View menu select, and what
// CurrentWindow holds.
enum class WindowIndex : int {
    Print = 0,
    PersonalRecords = 2,
    PhoneBook = 4,
    Sms = 5,
    CardInfo = 6,
    Unloaded = 100,  // the current child window was closed
    None = 200,      // another child became active, or exit was requested
};
inline constexpr int kWindowButtonCount = 7;  // the left panel's buttons; 1 and 3 select no window

inline bool isChildWindow(WindowIndex index) {
    return index == WindowIndex::PersonalRecords || index == WindowIndex::PhoneBook ||
           index == WindowIndex::Sms || index == WindowIndex::CardInfo;
}

}  // namespace pellucard
