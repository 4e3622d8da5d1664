#include "shell/restore_pin2_step.h"

#include "engine/card_backup.h"
#include "engine/card_backup_other_files.h"
#include "shell/card_info.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"

namespace pellucard {

namespace {

constexpr int kPin2Index = 1;

}  // namespace

Pin2Step prepareOtherFiles(Session& session, PinDialogLauncher& pinDialogs, CardGate::Hold& hold,
                           const CardBackup& backup, RestorePlan& plan) {
    plan.restoreOtherFiles = true;
    plan.pin2Verified = false;
    // Fixed dialling numbers the card already holds need no PIN2; ones that could not be read
    // are asked for, the restore reads them again anyway.
    const std::optional<bool> fdnChanges =
        OtherFileWouldChange(hold.engine(), backup, plan, CardRecordFile::FixedDialling);
    if (fdnChanges == false)
        return {};
    readPinCounters(session, hold);
    const std::optional<int> before = session.cardInfo().Pin2Attempts;
    if (!before)
        return {Pin2Step::Ending::Unread};
    if (*before <= 0)
        return {Pin2Step::Ending::Blocked};
    if (pinDialogs.execVerifyPin(kPin2Index, hold)) {
        plan.pin2Verified = true;
        return {Pin2Step::Ending::Verified};
    }
    // The dialog read the counters after every attempt.
    const std::optional<int> after = session.cardInfo().Pin2Attempts;
    if (!after)
        return {Pin2Step::Ending::Unread};
    if (*after <= 0)
        return {Pin2Step::Ending::Blocked};
    if (*after < *before)
        return {Pin2Step::Ending::Wrong, *after};
    return {Pin2Step::Ending::Cancelled};
}

}  // namespace pellucard
