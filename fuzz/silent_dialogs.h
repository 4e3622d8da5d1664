#pragma once

// A dialog seam for the fuzz checks: every message box is answered with its safe default and
// counted, nothing is shown or logged, and no file is ever chosen.

#include "records/dialog_seam.h"

namespace pellucard::fuzz {

class SilentDialogs final : public DialogSeam {
public:
    SilentDialogs() { previous_ = InstallDialogs(this); }
    ~SilentDialogs() override { InstallDialogs(previous_); }
    SilentDialogs(const SilentDialogs&) = delete;
    SilentDialogs& operator=(const SilentDialogs&) = delete;

    DialogAnswer ShowMessage(const MessageRequest& request) override {
        ++messages;
        return request.buttons == DialogButtons::YesNo ? DialogAnswer::No : DialogAnswer::Ok;
    }
    QString ChooseOpenFileName(const FileRequest&) override { return {}; }
    QString ChooseSaveFileName(const FileRequest&) override { return {}; }
    void RunModal(QDialog&) override {}

    int messages = 0;

private:
    DialogSeam* previous_ = nullptr;
};

}  // namespace pellucard::fuzz
