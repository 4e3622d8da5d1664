#pragma once

// A main window stand-in for the record windows' tests: the session on the instant virtual
// reader with the demo card, the PIN dialogs, scripted message boxes and a scratch
// application folder.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <map>
#include <memory>

#include "engine/pellucard.h"
#include "platform/reader_session.h"
#include "platform/virtual_reader.h"
#include "records/application_folder.h"
#include "shell/card_info.h"
#include "shell/child_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"
#include "shell/verify_pin_dialog.h"
#include "support/scripted_dialogs.h"

namespace pellucard::testing {

class WindowRig final : public ShellHost {
public:
    WindowRig() {
        SetApplicationFolder(folder.path());
        EnsureApplicationFolder();
        ReaderChoice choice;
        choice.kind = ReaderChoice::Kind::Virtual;
        std::string error;
        session = std::make_unique<Session>(OpenReaderSession(choice, false, error));
        pins = std::make_unique<PinDialogLauncher>(*session, &mainWidget);
    }
    ~WindowRig() override { SetApplicationFolder({}); }

    Pellucard& Engine() { return session->Engine(); }
    VirtualReader& Reader() { return *session->Reader().virtualReader; }

    // What the polling timer does when it finds a card: its identity, then everything else.
    void IdentifyCard() {
        FindReaderAndCard(*session);
        std::string id;
        Engine().GetCardInf(id, CardInfoItem::Iccid);
        session->CardInfo.CardId = QString::fromStdString(id);
        pellucard::FindCardInf(*session);
    }

    // Answers the next modal verify dialog with `code` as soon as it shows.
    void AnswerVerifyPin(const QString& code) {
        auto* timer = new QTimer(&mainWidget);
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, code] {
            VerifyPinC* dialog = pins->OpenVerifyPin();
            if (!dialog || !dialog->isVisible())
                return;
            timer->stop();
            timer->deleteLater();
            dialog->findChild<QLineEdit*>(QStringLiteral("TPINCode"))->setText(code);
            dialog->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        });
        timer->start();
    }

    // ShellHost
    Session& CurrentSession() override { return *session; }
    void StopPolling() override { polling = false; }
    void StartPolling(int intervalMs) override {
        polling = true;
        pollInterval = intervalMs;
    }
    void ResumePolling() override { polling = true; }
    void FindCardInf() override { pellucard::FindCardInf(*session); }
    void SetFileCommandEnabled(FileMenuEntry entry, bool enabled) override {
        menu[entry] = enabled;
    }
    PinDialogLauncher& PinDialogs() override { return *pins; }
    QWidget* MainWidget() override { return &mainWidget; }
    void ShowStatus(const QString& text) override { status = text; }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    // The session outlives the main widget: the windows and dialogs under it tell the
    // session when they close.
    std::unique_ptr<Session> session;
    QWidget mainWidget;
    std::unique_ptr<PinDialogLauncher> pins;
    std::map<FileMenuEntry, bool> menu;
    QString status;  // the last note for the status bar
    bool polling = true;
    int pollInterval = 0;
};

}  // namespace pellucard::testing
