#include "shell/pin2_step.h"

#include "shell/card_info.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"

namespace pellucard {

namespace {

constexpr int kPin2Index = 1;

}  // namespace

Pin2Step askForPin2(Session& session, PinDialogLauncher& pinDialogs, CardGate::Hold& hold) {
    readPinCounters(session, hold);
    const std::optional<int> before = session.cardInfo().Pin2Attempts;
    if (!before)
        return {Pin2Step::Ending::Unread};
    if (*before <= 0)
        return {Pin2Step::Ending::Blocked};
    if (pinDialogs.execVerifyPin(kPin2Index, hold))
        return {Pin2Step::Ending::Verified, 0, true};
    // The dialog read the counters after every attempt.
    const std::optional<int> after = session.cardInfo().Pin2Attempts;
    if (!after)
        return {Pin2Step::Ending::Unread, 0, true};
    if (*after <= 0)
        return {Pin2Step::Ending::Blocked, 0, true};
    if (*after < *before)
        return {Pin2Step::Ending::Wrong, *after, true};
    return {Pin2Step::Ending::Cancelled, 0, true};
}

}  // namespace pellucard
