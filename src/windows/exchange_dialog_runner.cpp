#include "windows/exchange_dialog_runner.h"

#include <QDialog>

namespace pellucard {

namespace {
ExchangeDialogRunner& Runner() {
    static ExchangeDialogRunner runner;
    return runner;
}
}  // namespace

void SetExchangeDialogRunner(ExchangeDialogRunner runner) {
    Runner() = std::move(runner);
}

void RunExchangeDialog(QDialog& dialog) {
    if (Runner())
        Runner()(dialog);
    else
        dialog.exec();
}

}  // namespace pellucard
