#include "shell/widget_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "catalogue/catalogue.h"
#include "records/file_history.h"

namespace pellucard {
namespace {

QMessageBox::Icon boxIcon(DialogIcon icon) {
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

// A dialog that names no folder starts in the one last used; the folder of the file chosen
// becomes the one last used.
QString runFileDialog(const FileRequest& request, QFileDialog::AcceptMode mode) {
    FileHistory& history = FileHistory::Instance();
    const QString folder = request.folder.isEmpty() ? history.StartFolder() : request.folder;
    QFileDialog dialog(QApplication::activeWindow(), request.title, folder, request.nameFilter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    history.RememberFolderOf(chosen);
    return chosen;
}

}  // namespace

DialogAnswer WidgetDialogs::ShowMessage(const MessageRequest& request) {
    const QString title =
        request.title.isEmpty() ? Message(MessageId::ProgramTitle, 0) : request.title;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (request.buttons == DialogButtons::YesNo)
        buttons = QMessageBox::Yes | QMessageBox::No;
    else if (request.buttons == DialogButtons::YesNoCancel)
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    else if (request.buttons == DialogButtons::OkCancel)
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
    QMessageBox box(boxIcon(request.icon), title, request.text, buttons,
                    QApplication::activeWindow());
    const bool okFirst =
        request.buttons == DialogButtons::Ok || request.buttons == DialogButtons::OkCancel;
    box.setDefaultButton(okFirst               ? QMessageBox::Ok
                         : request.noByDefault ? QMessageBox::No
                                               : QMessageBox::Yes);
    if (request.buttons == DialogButtons::YesNoCancel || request.buttons == DialogButtons::OkCancel)
        box.setEscapeButton(QMessageBox::Cancel);  // Escape and the close button: Cancel
    // An import's summary, a refusal naming a file: the user can select and copy the text.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    const int answer = box.exec();
    switch (request.buttons) {
        case DialogButtons::Ok:
            return DialogAnswer::Ok;
        case DialogButtons::YesNo:
            return answer == QMessageBox::Yes ? DialogAnswer::Yes : DialogAnswer::No;
        case DialogButtons::OkCancel:
            return answer == QMessageBox::Ok ? DialogAnswer::Ok : DialogAnswer::Cancel;
        case DialogButtons::YesNoCancel:
            break;
    }
    if (answer == QMessageBox::Yes)
        return DialogAnswer::Yes;
    return answer == QMessageBox::No ? DialogAnswer::No : DialogAnswer::Cancel;
}

QString WidgetDialogs::ChooseOpenFileName(const FileRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

QString WidgetDialogs::ChooseSaveFileName(const FileRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptSave);
}

void WidgetDialogs::RunModal(QDialog& dialog) {
    dialog.exec();
}

}  // namespace pellucard
