#pragma once

#include "records/other_files_report.h"
#include "shell/card_gate.h"

namespace pellucard {

struct CardBackup;
struct RestorePlan;
class PinDialogLauncher;
class Session;

// Readies `plan` to write the other files of `backup` too. The fixed dialling numbers need
// PIN2: when they are to change, the PIN2 step runs (askForPin2). Cancel, a wrong code, a
// blocked PIN2 or counters that cannot be read leave them unwritten (the restore then says
// so), and the other files are written all the same.
Pin2Step prepareOtherFiles(Session& session, PinDialogLauncher& pinDialogs, CardGate::Hold& hold,
                           const CardBackup& backup, RestorePlan& plan);

}  // namespace pellucard
