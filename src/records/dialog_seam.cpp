#include "records/dialog_seam.h"

#include <QLoggingCategory>

#include "catalogue/catalogue.h"

namespace pellucard {
namespace {

Q_LOGGING_CATEGORY(lcDialogs, "pellucard.dialogs")

// Used while no front end has installed its own seam (the command line tool, early
// start-up): nothing can be shown, so the message goes to the log and the answer is the
// one that changes nothing.
class HeadlessDialogs final : public DialogSeam {
public:
    DialogAnswer ShowMessage(const MessageRequest& request) override {
        qCWarning(lcDialogs).noquote()
            << "message" << (request.messageId ? MessageNumber(*request.messageId) : 0)
            << request.text;
        return SafeAnswer(request.buttons);
    }
    QString ChooseOpenFileName(const FileRequest&) override { return {}; }
    QString ChooseSaveFileName(const FileRequest&) override { return {}; }
    void RunModal(QDialog&) override { qCWarning(lcDialogs) << "modal dialog not shown"; }
};

HeadlessDialogs& Fallback() {
    static HeadlessDialogs fallback;
    return fallback;
}

DialogSeam* g_current = nullptr;

}  // namespace

DialogAnswer SafeAnswer(DialogButtons buttons) {
    switch (buttons) {
        case DialogButtons::YesNo:
            return DialogAnswer::No;
        case DialogButtons::YesNoCancel:
        case DialogButtons::OkCancel:
            return DialogAnswer::Cancel;
        case DialogButtons::Ok:
            break;
    }
    return DialogAnswer::Ok;
}

DialogSeam& CurrentDialogs() {
    return g_current != nullptr ? *g_current : Fallback();
}

DialogSeam* InstallDialogs(DialogSeam* seam) {
    DialogSeam* previous = g_current;
    g_current = seam;
    return previous;
}

void UninstallDialogs(DialogSeam* seam) {
    if (g_current == seam) {
        g_current = nullptr;
    }
}

MessageRequest CatalogueMessage(MessageId messageId, int languageIndex, DialogButtons buttons,
                                DialogIcon icon) {
    MessageRequest request;
    request.messageId = messageId;
    request.text = Message(messageId, languageIndex);
    request.buttons = buttons;
    request.icon = icon;
    return request;
}

DialogAnswer ShowMessage(const MessageRequest& request) {
    return CurrentDialogs().ShowMessage(request);
}

void ShowMessage(MessageId messageId, const QString& text, DialogIcon icon) {
    MessageRequest request;
    request.messageId = messageId;
    request.text = text;
    request.icon = icon;
    ShowMessage(request);
}

void RunModal(QDialog& dialog) {
    CurrentDialogs().RunModal(dialog);
}

}  // namespace pellucard
