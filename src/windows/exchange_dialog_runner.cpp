#include "windows/exchange_dialog_runner.h"

#include <QDialog>

namespace pellucard {

namespace {
ExchangeDialogRunner& installedRunner() {
    static ExchangeDialogRunner runner;
    return runner;
}
}  // namespace

void setExchangeDialogRunner(ExchangeDialogRunner runner) {
    installedRunner() = std::move(runner);
}

void runExchangeDialog(QDialog& dialog) {
    if (installedRunner())
        installedRunner()(dialog);
    else
        dialog.exec();
}

}  // namespace pellucard
