#include "shell/restore_pin2_step.h"

#include "engine/card_backup.h"
#include "engine/card_backup_other_files.h"
#include "shell/pin2_step.h"

namespace pellucard {

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
    const Pin2Step pin2 = askForPin2(session, pinDialogs, hold);
    plan.pin2Verified = pin2.ending == Pin2Step::Ending::Verified;
    return pin2;
}

}  // namespace pellucard
