#pragma once

#include "records/dialog_seam.h"

namespace pellucard {

// The program's message boxes, file dialogs and modal dialogs: QMessageBox and QFileDialog over
// the active window, QDialog::exec. Main installs it for the whole run.
class WidgetDialogs final : public DialogSeam {
public:
    DialogAnswer ShowMessage(const MessageRequest& request) override;
    QString ChooseOpenFileName(const FileRequest& request) override;
    QString ChooseSaveFileName(const FileRequest& request) override;
    void RunModal(QDialog& dialog) override;
};

}  // namespace pellucard
