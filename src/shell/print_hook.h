#pragma once

#include <functional>

namespace pellucard {

class PrintRecordsDialog;

// Shows the filled print dialog modally. Tests replace it so that they never block on it.
using PrintDialogRunner = std::function<void(PrintRecordsDialog&)>;

// nullptr restores the modal dialog.
void setPrintDialogRunner(PrintDialogRunner runner);
void runPrintDialog(PrintRecordsDialog& form);

}  // namespace pellucard
