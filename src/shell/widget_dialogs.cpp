#include "shell/widget_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "catalogue/catalogue.h"

namespace pellucard {
namespace {

constexpr int kProductName = 21700;

QMessageBox::Icon BoxIcon(DialogIcon icon) {
    switch (icon) {
        case DialogIcon::Information:
            return QMessageBox::Information;
        case DialogIcon::Question:
            return QMessageBox::Question;
        case DialogIcon::Warning:
            return QMessageBox::Warning;
        case DialogIcon::Critical:
            return QMessageBox::Critical;
        case DialogIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString RunFileDialog(const FileRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder,
                       request.nameFilter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

DialogAnswer WidgetDialogs::ShowMessage(const MessageRequest& request) {
    const QString title = request.title.isEmpty() ? CatalogueText(kProductName) : request.title;
    const bool question = request.buttons == DialogButtons::YesNo;
    QMessageBox box(BoxIcon(request.icon), title, request.text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setDefaultButton(question ? QMessageBox::Yes : QMessageBox::Ok);
    const int answer = box.exec();
    if (!question)
        return DialogAnswer::Ok;
    return answer == QMessageBox::Yes ? DialogAnswer::Yes : DialogAnswer::No;
}

QString WidgetDialogs::ChooseOpenFileName(const FileRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptOpen);
}

QString WidgetDialogs::ChooseSaveFileName(const FileRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptSave);
}

}  // namespace pellucard
