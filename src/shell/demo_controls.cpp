#include "shell/demo_controls.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "catalogue/catalogue.h"
#include "platform/reader_session.h"
#include "records/dialog_seam.h"
#include "shell/session.h"
#include "simulator/virtual_reader.h"
#include "simulator/virtual_sim_card.h"

namespace pellucard {
namespace {

QAction* addEntry(QMenu* menu, const char* name) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(name);
    return action;
}

void showError(const QString& text) {
    MessageRequest request;
    request.text = text;
    request.icon = DialogIcon::Warning;
    ShowMessage(request);
}

}  // namespace

DemoControls::DemoControls(Session& session, QMainWindow& window, std::function<void()> pollNow)
    : QObject(&window), session_(session), pollNow_(std::move(pollNow)) {
    menu_ = new QMenu(&window);
    menu_->setObjectName("demoMenu");
    menu_->menuAction()->setObjectName("demoMenu");
    remove_ = addEntry(menu_, "removeCardAction");
    insert_ = addEntry(menu_, "insertCardAction");
    load_ = addEntry(menu_, "loadCardAction");
    menu_->addSeparator();
    unplug_ = addEntry(menu_, "unplugReaderAction");
    plug_ = addEntry(menu_, "plugReaderAction");
    window.menuBar()->addMenu(menu_);

    connect(remove_, &QAction::triggered, this, &DemoControls::removeCard);
    connect(insert_, &QAction::triggered, this, &DemoControls::insertCard);
    connect(load_, &QAction::triggered, this, &DemoControls::loadCardImage);
    connect(unplug_, &QAction::triggered, this, &DemoControls::unplug);
    connect(plug_, &QAction::triggered, this, &DemoControls::plug);

    mark_ = new QLabel(&window);
    mark_->setObjectName("virtualReaderLabel");
    mark_->setEnabled(false);  // greyed: present, but not competing with the windows
    window.statusBar()->addPermanentWidget(mark_);
    changeLanguage();
}

void DemoControls::changeLanguage() {
    menu_->setTitle(session_.text(MessageId::DemoMenu));
    remove_->setText(session_.text(MessageId::DemoPullCard));
    insert_->setText(session_.text(MessageId::DemoInsertCard));
    load_->setText(session_.text(MessageId::DemoLoadCardImage));
    unplug_->setText(session_.text(MessageId::DemoUnplugReader));
    plug_->setText(session_.text(MessageId::DemoPlugReader));
    showState();
}

void DemoControls::removeCard() {
    session_.reader().virtualReader->RemoveCard();
    showState();
    pollNow_();
}

void DemoControls::insertCard() {
    ReaderSession& reader = session_.reader();
    if (reader.virtualCard)
        reader.virtualReader->InsertCard(reader.virtualCard);
    showState();
    pollNow_();
}

void DemoControls::loadCardImage() {
    ReaderSession& reader = session_.reader();
    FileRequest request;
    request.title = session_.text(MessageId::DemoLoadCardImage);
    request.title.remove(QStringLiteral("..."));
    request.nameFilter =
        session_.text(MessageId::DemoCardImages) + QStringLiteral(" (*.json);;* (*)");
    request.folder = reader.imagePath.empty()
                         ? QDir::homePath()
                         : QFileInfo(QString::fromStdString(reader.imagePath)).absolutePath();
    const QString path = CurrentDialogs().ChooseOpenFileName(request);
    if (path.isEmpty())
        return;
    // The card leaving the reader keeps what was written to it.
    std::string error;
    if (!reader.SaveVirtualCard(error))
        showError(QString::fromStdString(error));
    if (!reader.LoadVirtualCard(path.toStdString(), error))
        showError(QString::fromStdString(error));
    showState();
    pollNow_();
}

void DemoControls::unplug() {
    session_.reader().virtualReader->Unplug();
    showState();
    pollNow_();
}

void DemoControls::plug() {
    session_.reader().virtualReader->Plug();
    showState();
    pollNow_();
}

void DemoControls::showState() {
    ReaderSession& reader = session_.reader();
    const bool plugged = reader.virtualReader->Plugged();
    const bool inserted = reader.virtualReader->Card() != nullptr;
    remove_->setEnabled(inserted);
    insert_->setEnabled(!inserted && reader.virtualCard != nullptr);
    unplug_->setEnabled(plugged);
    plug_->setEnabled(!plugged);

    const QString card = reader.imagePath.empty()
                             ? session_.text(MessageId::DemoCardName)
                             : QFileInfo(QString::fromStdString(reader.imagePath)).fileName();
    QString state;
    if (!plugged)
        state = session_.text(MessageId::DemoReaderUnplugged);
    else if (!inserted)
        state = session_.text(MessageId::DemoReaderNoCard);
    else
        state = session_.text(MessageId::DemoReaderVirtualCard).arg(card);
    mark_->setText(state);
    mark_->setToolTip(session_.text(MessageId::DemoSimulatedTip));
}

}  // namespace pellucard
