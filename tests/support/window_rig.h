#pragma once

// The widget tests' rigs, on the instant virtual reader with the demo card, scripted message
// boxes and file dialogs, and a scratch application folder:
// - WindowRig stands in for the main window, for tests that open a record window on their own;
// - ShellRig shows the real main window, with stand-in or real record windows;
// and the input a person gives: clicks on cells, slots and titles, typed text.

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "engine/pellucard.h"
#include "platform/reader_session.h"
#include "records/application_folder.h"
#include "shell/card_info.h"
#include "shell/card_info_window.h"
#include "shell/child_window.h"
#include "shell/main_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"
#include "shell/verify_pin_dialog.h"
#include "shell/window_factory.h"
#include "simulator/card_image.h"
#include "simulator/virtual_reader.h"
#include "simulator/virtual_sim_card.h"
#include "support/scripted_dialogs.h"
#include "windows/record_table.h"
#include "windows/record_window.h"
#include "windows/record_windows.h"

namespace pellucard::testing {

// pollTimer's periods are long enough never to fire during a test: each test ticks it itself.
inline constexpr PollPeriods kTestPeriods{60'000, 120'000};
inline constexpr char kDemoIccid[] = "8988200000123456788";
inline constexpr char kDemoPin1[] = "1234";

// What every rig holds: the session on the virtual reader and the scripted dialogs.
class SessionRig {
public:
    SessionRig() {
        SetApplicationFolder(folder.path());
        EnsureApplicationFolder();
        std::string error;
        session = std::make_unique<Session>(
            OpenReaderSession({ReaderChoice::Kind::Virtual, {}}, false, error));
    }
    virtual ~SessionRig() { SetApplicationFolder({}); }

    // The engine itself, beside the gate: the tests act as another program would on the card.
    Pellucard& engine() { return *session->reader().engine; }
    VirtualReader& Reader() { return *session->reader().virtualReader; }
    VirtualSimCard& Card() { return *session->reader().virtualCard; }
    const CardInfo& Info() { return session->cardInfo(); }
    // Every record of the file at `path` ("3F00/7F10/6F3B") as the virtual card holds it now.
    std::vector<Bytes> FileRecords(const char* path) {
        std::vector<Bytes> records;
        const CardImage image = Card().ToImage();
        for (const auto& record : image.FindFile(path)->records)
            records.push_back(record.data);
        return records;
    }
    // Changes the card information as the poll or a PIN dialog would.
    template <class Change>
    void ChangeInfo(Change change) {
        CardInfo info = session->cardInfo();
        change(info);
        session->setCardInfo(info);
    }
    virtual PinDialogLauncher& pinLauncher() = 0;

    // Answers the next modal dialog, the verify dialog a card run opens, with `code`.
    void AnswerVerifyPin(const QString& code = QString::fromLatin1(kDemoPin1)) {
        dialogs.RunModalWith([this, code](QDialog& modal) {
            dialogs.RunModalWith(nullptr);  // once
            auto* dialog = qobject_cast<VerifyPinDialog*>(&modal);
            QVERIFY2(dialog != nullptr, modal.metaObject()->className());
            dialog->findChild<QLineEdit*>(QStringLiteral("codeField"))->setText(code);
            dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        });
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<Session> session;
};

class WindowRig final : public SessionRig, public ShellHost {
public:
    WindowRig() { pins = std::make_unique<PinDialogLauncher>(*session, &frame); }

    // What the polling timer does when it finds a card: its identity, then everything else.
    void IdentifyCard() {
        const auto hold = session->gate().acquire(CardGate::Work::Poll);
        findReaderAndCard(*session, *hold);
        session->setCardId(
            QString::fromStdString(engine().ReadCardInfo(CardInfoItem::Iccid).value.value_or("")));
        pellucard::readCardInfo(*session, *hold);
    }

    // A record window shown, active and activated as the main window opens it; null when it
    // never became active.
    template <class Window>
    Window* Open(QSize size = {1100, 700}) {
        auto* window = new Window(*this);
        window->resize(size);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window)) {
            delete window;
            return nullptr;
        }
        window->activate();
        return window;
    }

    // ShellHost
    Session& currentSession() override { return *session; }
    void stopPolling() override { polling = false; }
    void startPolling(int intervalMs) override {
        polling = true;
        pollInterval = intervalMs;
    }
    void resumePolling() override { polling = true; }
    void setFileCommandEnabled(FileMenuEntry entry, bool enabled) override {
        menu[entry] = enabled;
    }
    PinDialogLauncher& pinDialogs() override { return *pins; }
    PinDialogLauncher& pinLauncher() override { return *pins; }
    QWidget* mainWidget() override { return &frame; }
    void showStatus(const QString& text) override { status = text; }

    // The main widget goes before the session: the windows and dialogs under it tell the
    // session when they close.
    QWidget frame;
    std::unique_ptr<PinDialogLauncher> pins;
    std::map<FileMenuEntry, bool> menu;
    QString status;  // the last note for the status bar
    bool polling = true;
    int pollInterval = 0;
};

// A record window stand-in: counts what the main window asks of it.
class FakeRecordWindow final : public ChildWindow {
public:
    FakeRecordWindow(WindowIndex index, ShellHost& host) : ChildWindow(index, host) {
        setObjectName(QStringLiteral("FakeRecord%1").arg(static_cast<int>(index)));
        changeLanguage();
    }
    void changeLanguage() override {
        ++captionings;
        setWindowTitle(currentSession().text(MessageId::SimPhoneBookToComputerPhoneBook));
    }
    void activate() override {
        ++activations;
        currentSession().setCurrentWindow(index());
        for (FileMenuEntry entry :
             {FileMenuEntry::New, FileMenuEntry::Open, FileMenuEntry::Save, FileMenuEntry::SaveAs,
              FileMenuEntry::Import, FileMenuEntry::Export})
            host().setFileCommandEnabled(entry, true);
    }
    void cardChanged() override { ++cardChanges; }
    void runFileCommand(FileCommand command) override { commands.append(command); }
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

class ShellRig final : public SessionRig {
public:
    enum class Start { CardIn, NoCard, NoReader };
    using RecordWindows = std::function<void(WindowFactory&)>;

    // With no `recordWindows` the phone book entry opens a FakeRecordWindow (`made`).
    explicit ShellRig(Start start = Start::CardIn, PollPeriods periods = kTestPeriods,
                      const RecordWindows& recordWindows = {}) {
        if (start != Start::CardIn)
            Reader().RemoveCard();
        if (start == Start::NoReader)
            Reader().Unplug();
        registerShellWindows(factory);
        if (recordWindows) {
            recordWindows(factory);
        } else {
            factory.registerWindow(WindowIndex::PhoneBook, [this](ShellHost& host) {
                auto* window = new FakeRecordWindow(WindowIndex::PhoneBook, host);
                made.append(window);
                return window;
            });
        }
        main = std::make_unique<MainWindow>(*session, factory, periods);
        main->show();
        main->start();
    }
    ~ShellRig() override { main.reset(); }

    PinDialogLauncher& pinLauncher() override { return main->pinDialogs(); }
    CardInfoWindow* cardInfoWindow() {
        return qobject_cast<CardInfoWindow*>(main->childWindow(WindowIndex::CardInfo));
    }
    QAction* Action(const char* name) { return main->findChild<QAction*>(name); }
    QWidget* Button(int index) {
        return main->findChild<QWidget*>(QStringLiteral("windowButton_%1").arg(index));
    }
    // Opens a record window through its button.
    template <class Window>
    Window* OpenWindow(WindowIndex index) {
        main->showWindow(index);
        return qobject_cast<Window*>(main->childWindow(index));
    }
    void Tick() { main->pollReader(); }
    int Interval() { return main->pollTimer()->interval(); }
    // Ticks until a card is identified (the reset, then the identity and the whole card).
    void TickUntilIdentified() {
        for (int i = 0; i < 3 && Interval() != kTestPeriods.identified; ++i)
            Tick();
    }

    WindowFactory factory;
    std::unique_ptr<MainWindow> main;
    QList<FakeRecordWindow*> made;
};

// A record window test's fixture: a WindowRig with the demo card identified and one window on
// it; or instead the real main window with the record windows.
template <class Window>
class RecordWindowFixture {
protected:
    static constexpr int kComputer = RecordWindow::kComputerList;
    static constexpr int kSim = RecordWindow::kSimList;

    bool Open(QSize size = {1100, 700}) {
        rig = std::make_unique<WindowRig>();
        rig->IdentifyCard();
        window = rig->Open<Window>(size);
        return window != nullptr;
    }
    void Close() {
        delete window;
        window = nullptr;
        rig.reset();
        shell.reset();
    }
    ShellRig& ShowMainWindow() {
        Close();
        shell = std::make_unique<ShellRig>(ShellRig::Start::CardIn, kTestPeriods,
                                           registerRecordWindows);
        return *shell;
    }

    QPushButton* Button(const char* name) { return window->template findChild<QPushButton*>(name); }
    QLabel* label(const char* name) { return window->template findChild<QLabel*>(name); }
    RecordList& Sim() { return window->recordList(kSim); }
    RecordList& Computer() { return window->recordList(kComputer); }
    int Count(MessageId id) { return static_cast<int>(rig->dialogs.MessageIds().count(id)); }
    // Reads the card through `button` with PIN1 given when the dialog asks.
    void ReadWith(const char* button) {
        rig->AnswerVerifyPin();
        Button(button)->click();
    }

    std::unique_ptr<WindowRig> rig;
    Window* window = nullptr;
    std::unique_ptr<ShellRig> shell;
};

// Clicks a cell as a person does: the cell editor opens over it.
inline void ClickCell(RecordTable* grid, int row, int column) {
    grid->scrollCellIntoView(row, column);
    const QPoint at = grid->cellRect(row, column).center();
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
}

// Clicks a slot number in the row header.
inline void ClickSlot(RecordTable* grid, int row, Qt::KeyboardModifiers modifiers = {}) {
    QHeaderView* header = grid->verticalHeader();
    const QPoint at(header->width() / 2,
                    header->sectionViewportPosition(row - 1) + header->sectionSize(row - 1) / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, modifiers, at);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, modifiers, at);
}

inline void ClickTitle(RecordTable* grid, int column) {
    QHeaderView* header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column - 1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

// Types `text` over cell (row, column) of `list` as a person does, then leaves the cell. The
// window's header must declare its cell editor (windows/cell_editor.h).
template <class Window>
void TypeOver(Window* window, int list, int row, int column, const QString& text) {
    ClickCell(window->grid(list), row, column);
    QTRY_VERIFY(window->editorOverCell());
    window->editor()->replaceText(text);
    QTRY_COMPARE(window->recordList(list).Text(row, column), text);
    window->grid(list)->setFocus();
}

// Types text as key events; QTest's key clicks know only ASCII.
inline void Type(QWidget* widget, const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        QString unit(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            unit += text[++i];
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, unit);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, unit);
        QApplication::sendEvent(widget, &release);
    }
}

// Every record of the phone book or the SMS file as the card holds it now.
enum class CardBook { PhoneBook, Sms };
inline std::vector<Bytes> cardRecords(Pellucard& engine, CardBook book) {
    const bool sms = book == CardBook::Sms;
    std::vector<Bytes> records;
    if (!(sms ? engine.EnterSmsFile() : engine.EnterPhoneBook()).IsDone())
        return records;
    const int count = sms ? engine.SmsRecordCount() : engine.PhoneBookRecordCount();
    for (int n = 1; n <= count; ++n) {
        // A record the card did not give stands as an empty one.
        records.push_back(sms ? engine.ReadSmsRecord(n).value
                              : engine.ReadPhoneBookRecord(n).value);
    }
    return records;
}

}  // namespace pellucard::testing
