#include "shell/print_hook.h"

#include "shell/print_records_dialog.h"

namespace pellucard {

namespace {
PrintDialogRunner& installedRunner() {
    static PrintDialogRunner runner;
    return runner;
}
}  // namespace

void setPrintDialogRunner(PrintDialogRunner runner) {
    installedRunner() = std::move(runner);
}

void runPrintDialog(PrintRecordsDialog& form) {
    if (installedRunner())
        installedRunner()(form);
    else
        form.exec();
}

}  // namespace pellucard
