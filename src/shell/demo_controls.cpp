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

QAction* AddEntry(QMenu* menu, const char* name) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(name);
    return action;
}

void ShowError(const QString& text) {
    MessageRequest request;
    request.text = text;
    request.icon = DialogIcon::Warning;
    ShowMessage(request);
}

}  // namespace

DemoControls::DemoControls(Session& session, QMainWindow& window, std::function<void()> pollNow)
    : QObject(&window), session_(session), pollNow_(std::move(pollNow)) {
    menu_ = new QMenu(&window);
    menu_->setObjectName("MDIDemo");
    menu_->menuAction()->setObjectName("MDIDemo");
    remove_ = AddEntry(menu_, "MDIDemoRemoveCard");
    insert_ = AddEntry(menu_, "MDIDemoInsertCard");
    load_ = AddEntry(menu_, "MDIDemoLoadCard");
    menu_->addSeparator();
    unplug_ = AddEntry(menu_, "MDIDemoUnplug");
    plug_ = AddEntry(menu_, "MDIDemoPlug");
    window.menuBar()->addMenu(menu_);

    connect(remove_, &QAction::triggered, this, &DemoControls::RemoveCard);
    connect(insert_, &QAction::triggered, this, &DemoControls::InsertCard);
    connect(load_, &QAction::triggered, this, &DemoControls::LoadCardImage);
    connect(unplug_, &QAction::triggered, this, &DemoControls::Unplug);
    connect(plug_, &QAction::triggered, this, &DemoControls::Plug);

    mark_ = new QLabel(&window);
    mark_->setObjectName("LVirtualReader");
    mark_->setEnabled(false);  // greyed: present, but not competing with the windows
    window.statusBar()->addPermanentWidget(mark_);
    ChangeLanguage();
}

void DemoControls::ChangeLanguage() {
    menu_->setTitle(session_.Text(MessageId::DemoMenu));
    remove_->setText(session_.Text(MessageId::DemoPullCard));
    insert_->setText(session_.Text(MessageId::DemoInsertCard));
    load_->setText(session_.Text(MessageId::DemoLoadCardImage));
    unplug_->setText(session_.Text(MessageId::DemoUnplugReader));
    plug_->setText(session_.Text(MessageId::DemoPlugReader));
    ShowState();
}

void DemoControls::RemoveCard() {
    session_.Reader().virtualReader->RemoveCard();
    ShowState();
    pollNow_();
}

void DemoControls::InsertCard() {
    ReaderSession& reader = session_.Reader();
    if (reader.virtualCard)
        reader.virtualReader->InsertCard(reader.virtualCard);
    ShowState();
    pollNow_();
}

void DemoControls::LoadCardImage() {
    ReaderSession& reader = session_.Reader();
    FileRequest request;
    request.title = session_.Text(MessageId::DemoLoadCardImage);
    request.title.remove(QStringLiteral("..."));
    request.nameFilter =
        session_.Text(MessageId::DemoCardImages) + QStringLiteral(" (*.json);;* (*)");
    request.folder = reader.imagePath.empty()
                         ? QDir::homePath()
                         : QFileInfo(QString::fromStdString(reader.imagePath)).absolutePath();
    const QString path = CurrentDialogs().ChooseOpenFileName(request);
    if (path.isEmpty())
        return;
    // The card leaving the reader keeps what was written to it.
    std::string error;
    if (!reader.SaveVirtualCard(error))
        ShowError(QString::fromStdString(error));
    if (!reader.LoadVirtualCard(path.toStdString(), error))
        ShowError(QString::fromStdString(error));
    ShowState();
    pollNow_();
}

void DemoControls::Unplug() {
    session_.Reader().virtualReader->Unplug();
    ShowState();
    pollNow_();
}

void DemoControls::Plug() {
    session_.Reader().virtualReader->Plug();
    ShowState();
    pollNow_();
}

void DemoControls::ShowState() {
    ReaderSession& reader = session_.Reader();
    const bool plugged = reader.virtualReader->Plugged();
    const bool inserted = reader.virtualReader->Card() != nullptr;
    remove_->setEnabled(inserted);
    insert_->setEnabled(!inserted && reader.virtualCard != nullptr);
    unplug_->setEnabled(plugged);
    plug_->setEnabled(!plugged);

    const QString card = reader.imagePath.empty()
                             ? session_.Text(MessageId::DemoCardName)
                             : QFileInfo(QString::fromStdString(reader.imagePath)).fileName();
    QString state;
    if (!plugged)
        state = session_.Text(MessageId::DemoReaderUnplugged);
    else if (!inserted)
        state = session_.Text(MessageId::DemoReaderNoCard);
    else
        state = session_.Text(MessageId::DemoReaderVirtualCard).arg(card);
    mark_->setText(state);
    mark_->setToolTip(session_.Text(MessageId::DemoSimulatedTip));
}

}  // namespace pellucard
