#include "windows/print_hook.h"

#include "shell/printer_form.h"

namespace pellucard {

namespace {
PrintDialogRunner& Runner() {
    static PrintDialogRunner runner;
    return runner;
}
}  // namespace

void SetPrintDialogRunner(PrintDialogRunner runner) {
    Runner() = std::move(runner);
}

void RunPrintDialog(PrinterForm& form) {
    if (Runner())
        Runner()(form);
    else
        form.exec();
}

}  // namespace pellucard
