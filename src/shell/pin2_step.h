#pragma once

#include "records/other_files_report.h"
#include "shell/card_gate.h"

namespace pellucard {

class PinDialogLauncher;
class Session;

// Asks for PIN2 before a file whose update needs it (EF FDN: CHV2 under GSM 11.11) is written.
// The counters are read first: while PIN2 is blocked, or its counter cannot be read, no dialog
// opens and no attempt is spent. Otherwise the Verify PIN dialog is shown once; the code the
// user types is sent once, and a wrong one is told by the dialog with the attempts left and
// never sent again here. The caller reports the ending in its own words.
Pin2Step askForPin2(Session& session, PinDialogLauncher& pinDialogs, CardGate::Hold& hold);

}  // namespace pellucard
