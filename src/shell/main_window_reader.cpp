// The main window's reader choice: the chooser, opening the chosen reader, and the status bar's
// word on which reader is in use.
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include "records/dialog_seam.h"
#include "records/program_settings.h"
#include "shell/demo_controls.h"
#include "shell/main_window.h"
#include "shell/reader_chooser.h"
#include "shell/session.h"

namespace pellucard {

namespace {
constexpr int kAtOnce = 1;  // ms: the next tick as soon as the event loop is free
}  // namespace

void MainWindow::setReaderChoice(const ReaderChoice& choice) {
    readerChoice_ = choice;
    showReaderChoice();
}

void MainWindow::showReaderChoice() {
    if (readerChoiceLabel_ == nullptr) {
        readerChoiceLabel_ = new QLabel(this);
        readerChoiceLabel_->setObjectName("readerChoice");
        statusBar()->addPermanentWidget(readerChoiceLabel_);
    }
    readerChoiceLabel_->setText(
        session_.text(MessageId::ReaderInUse).arg(readerName(session_, readerChoice_)));
}

ReaderChooser* MainWindow::chooseReader() {
    if (chooser_) {
        chooser_->raise();
        chooser_->activateWindow();
        return chooser_;
    }
    chooser_ = new ReaderChooser(session_, readerLister_ ? readerLister_() : ListAvailableReaders(),
                                 readerChoice_, this);
    chooser_->setAttribute(Qt::WA_DeleteOnClose);
    connect(chooser_, &QDialog::accepted, this, [this] {
        if (chooser_)
            applyReaderChoice(chooser_->chosen());
    });
    chooser_->open();
    return chooser_;
}

bool MainWindow::applyReaderChoice(const ReaderChoice& choice) {
    if (session_.gate().busy()) {
        showStatus(session_.text(MessageId::ReaderBusy));
        return false;
    }
    const bool virtualReader = choice.kind == ReaderChoice::Kind::Virtual;
    std::string why;
    // The virtual reader takes a real one's time, as in the demo.
    auto reader = OpenReaderSession(choice, virtualReader, why);
    if (!reader) {
        MessageRequest request;
        request.text = session_.text(MessageId::ReaderCannotOpen).arg(QString::fromStdString(why));
        request.messageId = MessageId::ReaderCannotOpen;
        request.icon = DialogIcon::Critical;
        ShowMessage(request);
        return false;
    }
    if (demo_ != nullptr) {
        // Its menu and mark act on the virtual reader that is going.
        demo_->menu()->menuAction()->setVisible(false);
        demo_->mark()->hide();
        demo_->menu()->deleteLater();
        demo_->mark()->deleteLater();
        demo_->deleteLater();
        demo_ = nullptr;
    }
    if (!session_.replaceReader(std::move(reader))) {
        showStatus(session_.text(MessageId::ReaderBusy));
        return false;
    }
    if (session_.isVirtualReader())
        demo_ = new DemoControls(session_, *this, [this] { startPolling(kAtOnce); });
    if (QSettings* settings = ProgramSettings())
        settings->setValue(kReaderSettingKey, QString::fromStdString(ReaderChoiceText(choice)));
    setReaderChoice(choice);
    setReaderFound(session_.gate().readerPresent());
    showReaderState();
    refreshCurrentWindow();
    startPolling(kAtOnce);
    return true;
}

}  // namespace pellucard
