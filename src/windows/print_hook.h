#pragma once

#include <functional>

namespace pellucard {

class PrinterForm;

// Shows the filled print dialog modally. Tests replace it so that they never block on it.
using PrintDialogRunner = std::function<void(PrinterForm&)>;

// nullptr restores the modal dialog.
void SetPrintDialogRunner(PrintDialogRunner runner);
void RunPrintDialog(PrinterForm& form);

}  // namespace pellucard
