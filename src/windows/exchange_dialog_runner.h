#pragma once

#include <functional>

class QDialog;

namespace pellucard {

// Shows the text exchange dialogs (ExportDialog, ImportDialog, FieldMappingDialog) modally. Tests
// replace it so that they operate a dialog instead of blocking on it; the dialog is fully set up
// when the runner gets it.
using ExchangeDialogRunner = std::function<void(QDialog&)>;

// nullptr restores the modal dialogs.
void setExchangeDialogRunner(ExchangeDialogRunner runner);
void runExchangeDialog(QDialog& dialog);

}  // namespace pellucard
