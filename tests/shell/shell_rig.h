#pragma once

// The shell on the virtual reader, as the widget tests drive it: a session with the demo card in
// an instant virtual reader, scripted message boxes, the main window shown and loaded. Timer1's
// periods are long enough never to fire during a test, so each test ticks it itself.

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>

#include "engine/pellucard.h"
#include "platform/card_image.h"
#include "platform/reader_session.h"
#include "platform/virtual_reader.h"
#include "platform/virtual_sim_card.h"
#include "shell/child_window.h"
#include "shell/mdi_main.h"
#include "shell/session.h"
#include "shell/setting_window.h"
#include "shell/window_factory.h"
#include "support/scripted_dialogs.h"

namespace pellucard::testing {

inline constexpr PollPeriods kTestPeriods{60'000, 120'000};
inline constexpr char kDemoIccid[] = "8988200000123456788";

// A record window stand-in: counts what the main window asks of it.
class FakeRecordWindow final : public ChildWindow {
public:
    FakeRecordWindow(int index, ShellHost& host) : ChildWindow(index, host) {
        setObjectName(QStringLiteral("FakeRecord%1").arg(index));
        ChangeLanguage();
    }
    void ChangeLanguage() override {
        ++captionings;
        setWindowTitle(CurrentSession().Text(28900));
    }
    void Form_Activate() override {
        ++activations;
        CurrentSession().CurrentWindow = WindowIndex();
        for (FileMenuEntry entry :
             {FileMenuEntry::New, FileMenuEntry::Open, FileMenuEntry::Save, FileMenuEntry::SaveAs,
              FileMenuEntry::Import, FileMenuEntry::Export})
            Host().SetFileCommandEnabled(entry, true);
    }
    void CardChanged() override { ++cardChanges; }
    void RunFileCommand(FileCommand command) override { commands.append(command); }
    void closeEvent(QCloseEvent* event) override {
        if (keepOpen)
            event->ignore();  // unsaved work the user wants to keep
        else
            ChildWindow::closeEvent(event);
    }

    int captionings = 0;
    int activations = 0;
    int cardChanges = 0;
    bool keepOpen = false;
    QList<FileCommand> commands;
};

// A card like the demo card with another identity; `tweak` may change more of it.
inline std::shared_ptr<VirtualSimCard> OtherCard(void (*tweak)(CardImage&) = nullptr) {
    QString error;
    auto demo = VirtualSimCard::Demo(error);
    CardImage image = demo->ToImage();
    image.FindFile("3F00/2FE2")->body = {0x98, 0x88, 0x02, 0x00, 0x00,
                                         0x89, 0x67, 0x45, 0x23, 0xF1};  // 8988200000987654321
    if (tweak != nullptr)
        tweak(image);
    return std::shared_ptr<VirtualSimCard>(VirtualSimCard::FromImage(image, error));
}

struct ShellRig {
    ScriptedDialogs dialogs;
    std::unique_ptr<Session> session;
    WindowFactory factory;
    std::unique_ptr<MDIMain> main;
    QList<FakeRecordWindow*> made;

    enum class Start { CardIn, NoCard, NoReader };

    explicit ShellRig(Start start = Start::CardIn, PollPeriods periods = kTestPeriods) {
        std::string error;
        auto reader = OpenReaderSession({ReaderChoice::Kind::Virtual, {}}, false, error);
        session = std::make_unique<Session>(std::move(reader));
        if (start != Start::CardIn)
            Reader().RemoveCard();
        if (start == Start::NoReader)
            Reader().Unplug();
        RegisterShellWindows(factory);
        factory.Register(window_index::kSimRec, [this](ShellHost& host) {
            auto* window = new FakeRecordWindow(window_index::kSimRec, host);
            made.append(window);
            return window;
        });
        main = std::make_unique<MDIMain>(*session, factory, periods);
        main->show();
        main->Load();
    }
    ~ShellRig() {
        main.reset();
        session.reset();
    }

    VirtualReader& Reader() { return *session->Reader().virtualReader; }
    Pellucard& Engine() { return session->Engine(); }
    CardInfoRecord& Info() { return session->CardInfo; }
    Setting* Info6() { return qobject_cast<Setting*>(main->Window(window_index::kSetting)); }
    QAction* Action(const char* name) { return main->findChild<QAction*>(name); }
    QWidget* Button(int index) {
        return main->findChild<QWidget*>(QStringLiteral("Command1_%1").arg(index));
    }
    void Tick() { main->Timer1_Timer(); }
    int Interval() { return main->Timer1()->interval(); }
    // Ticks until a card is identified (the reset, then the identity and the whole card).
    void TickUntilIdentified() {
        for (int i = 0; i < 3 && Interval() != kTestPeriods.identified; ++i)
            Tick();
    }
};

}  // namespace pellucard::testing
