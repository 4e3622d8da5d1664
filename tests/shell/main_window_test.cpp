// The main window: its menu tree, window selection, the File menu's dispatch, languages, help,
// the About box, the demo controls and the command line.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "catalogue/catalogue.h"
#include "records/file_history.h"
#include "records/record_documents.h"
#include "shell/command_line.h"
#include "shell/demo_controls.h"
#include "shell/help_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/verify_pin_dialog.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void selectsWindowsAndMinimisesTheOneLeft();
    void fileMenuActsOnRecordWindowsOnly();
    void recentFilesOpenInTheirWindow();
    void cardChangeRefreshesTheCurrentWindow();
    void windowWithUnsavedWorkKeepsTheProgramOpen();
    void languageChoiceRecaptionsEveryWindow();
    void helpOpensAndClosesWithTheProgram();
    void installedHelpComesFirst();
    void demoControlsDriveTheVirtualReader();
    void demoLoadsAnotherCardImage();
    void commandLine_data();
    void commandLine();
};

void MainWindowTest::selectsWindowsAndMinimisesTheOneLeft() {
    ShellRig rig;
    rig.TickUntilIdentified();
    auto* information = qobject_cast<QMdiSubWindow*>(rig.cardInfoWindow()->parentWidget());
    QVERIFY(information != nullptr);
    QVERIFY(information->isMaximized());

    rig.Action("phoneBookWindowAction")->trigger();
    QCOMPARE(rig.session->currentWindow(), WindowIndex::PhoneBook);
    QCOMPARE(rig.made.size(), 1);
    QVERIFY(information->isMinimized());
    auto* phone = qobject_cast<QMdiSubWindow*>(rig.made[0]->parentWidget());
    QVERIFY(phone->isMaximized());
    QCOMPARE(rig.main->mdiArea()->activeSubWindow(), phone);

    // Back and forth: the window made first is used again.
    rig.main->showWindow(WindowIndex::CardInfo);
    QCOMPARE(rig.session->currentWindow(), WindowIndex::CardInfo);
    QVERIFY(information->isMaximized());
    QVERIFY(phone->isMinimized());
    rig.main->showWindow(WindowIndex::PhoneBook);
    QCOMPARE(rig.made.size(), 1);

    // A window without a registration opens nothing and changes nothing.
    rig.main->showWindow(WindowIndex::Sms);
    QCOMPARE(rig.session->currentWindow(), WindowIndex::PhoneBook);

    // Closing a child hands over to the one left; choosing it again makes it anew.
    bool unloaded = false;
    connect(phone, &QObject::destroyed, this,
            [&] { unloaded = rig.session->currentWindow() != WindowIndex::PhoneBook; });
    phone->close();
    QCOMPARE(rig.session->currentWindow(), WindowIndex::CardInfo);
    QTRY_VERIFY(rig.main->childWindow(WindowIndex::PhoneBook) == nullptr);
    QVERIFY(unloaded);
    rig.main->showWindow(WindowIndex::PhoneBook);
    QCOMPARE(rig.made.size(), 2);
}

void MainWindowTest::fileMenuActsOnRecordWindowsOnly() {
    ShellRig rig;
    rig.TickUntilIdentified();
    // The information window has nothing to save.
    for (const char* name :
         {"newAction", "openAction", "saveAction", "saveAsAction", "importMenu", "exportMenu"})
        QVERIFY2(!rig.Action(name)->isEnabled(), name);
    rig.Action("saveAction")->trigger();

    rig.Action("phoneBookWindowAction")->trigger();
    FakeRecordWindow* phone = rig.made.at(0);
    QVERIFY(rig.Action("saveAction")->isEnabled());
    rig.Action("saveAction")->trigger();
    rig.Action("exportTabAction")->trigger();
    rig.Action("importCommaAction")->trigger();
    QCOMPARE(phone->commands, (QList<FileCommand>{FileCommand::Save, FileCommand::ExportTab,
                                                  FileCommand::ImportComma}));
}

void MainWindowTest::recentFilesOpenInTheirWindow() {
    QTemporaryDir folder;
    FileHistory& history = FileHistory::Instance();
    history.Clear();
    ShellRig rig;
    QMenu* recent = rig.main->findChild<QMenu*>("recentFilesMenu");
    QVERIFY(recent != nullptr);
    QVERIFY(!recent->menuAction()->isEnabled());  // nothing opened yet

    const QString kept = folder.filePath("a&b.SPB");
    QFile(kept).open(QIODevice::WriteOnly);
    const QString gone = folder.filePath("gone.SPB");
    history.RememberOpened(gone, static_cast<int>(WindowIndex::PhoneBook));
    history.RememberOpened(kept, static_cast<int>(WindowIndex::PhoneBook));
    QCOMPARE(recent->actions().size(), 2);
    QCOMPARE(recent->actions()[0]->text(), QStringLiteral("&1 a&&b.SPB"));
    QCOMPARE(recent->actions()[0]->toolTip(), kept);

    // The file opens through the window's own Open command, in the window that opened it.
    recent->actions()[0]->trigger();
    QCOMPARE(rig.session->currentWindow(), WindowIndex::PhoneBook);
    QCOMPARE(rig.made.at(0)->commands, QList<FileCommand>{FileCommand::Open});
    QString chosen;
    QCOMPARE(ChooseOpenFile(chosen, ".SPB", "Phone Book |*"), QString());  // used up

    // A file that has gone is reported and leaves the list.
    rig.dialogs.Clear();
    recent->actions()[1]->trigger();
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::FileNotRead});
    QCOMPARE(rig.made.at(0)->commands.size(), 1);
    QCOMPARE(recent->actions().size(), 1);
    history.Clear();
}

void MainWindowTest::cardChangeRefreshesTheCurrentWindow() {
    ShellRig rig;
    rig.Action("phoneBookWindowAction")->trigger();
    FakeRecordWindow* phone = rig.made.at(0);
    rig.TickUntilIdentified();
    QCOMPARE(phone->cardChanges, 1);
    rig.Tick();  // same card
    QCOMPARE(phone->cardChanges, 1);
    rig.Reader().RemoveCard();
    rig.Tick();
    QCOMPARE(phone->cardChanges, 2);
    QVERIFY(!rig.Info().MaxPhoneRecords);
}

void MainWindowTest::windowWithUnsavedWorkKeepsTheProgramOpen() {
    ShellRig rig;
    rig.TickUntilIdentified();
    rig.Action("phoneBookWindowAction")->trigger();
    rig.made.at(0)->keepOpen = true;
    // Asked during card work, the close comes from the timer; refused, the polling goes on.
    QTimer::singleShot(0, rig.main.get(), [&] { rig.main->close(); });
    rig.session->yield();
    QVERIFY(rig.session->exitRequested());
    QTRY_VERIFY(!rig.session->exitRequested());
    QVERIFY(rig.main->isVisible());
    QVERIFY(rig.engine().ReaderPresent());
    QVERIFY(rig.main->pollTimer()->isActive());
    QCOMPARE(rig.Interval(), kTestPeriods.searching);

    rig.made.at(0)->keepOpen = false;
    QVERIFY(rig.main->close());
    QVERIFY(!rig.engine().ReaderPresent());
}

void MainWindowTest::languageChoiceRecaptionsEveryWindow() {
    ShellRig rig;
    rig.TickUntilIdentified();
    rig.Action("phoneBookWindowAction")->trigger();
    FakeRecordWindow* phone = rig.made.at(0);
    const int captionings = phone->captionings;
    VerifyPinDialog* verify = rig.main->pinDialogs().showVerifyPin(0);

    const int german = 3;
    rig.Action("languageAction_3")->trigger();
    QCOMPARE(rig.session->languageIndex(), german);
    // What is open follows at once: the main window's child windows and the PIN dialogs.
    QCOMPARE(rig.cardInfoWindow()->windowTitle(), Message(MessageId::SimCardInformation, german));
    QCOMPARE(phone->captionings, captionings + 1);
    QCOMPARE(verify->windowTitle(), Message(MessageId::VerifyPinCode, german));
}

void MainWindowTest::helpOpensAndClosesWithTheProgram() {
    ShellRig rig;
    rig.Action("helpAction")->trigger();
    HelpWindow* help = rig.main->help();
    QVERIFY(help != nullptr && help->isVisible());
    QVERIFY(help->source().endsWith(HelpFileName(0)));
    QVERIFY(rig.dialogs.MessageIds().isEmpty());
    rig.main->close();
    QTRY_VERIFY(rig.main->help() == nullptr);
}

void MainWindowTest::installedHelpComesFirst() {
    QTemporaryDir installed;
    QFile english(QDir(installed.path()).filePath(HelpFileName(0)));
    QVERIFY(english.open(QIODevice::WriteOnly));
    english.close();
    QCOMPARE(helpResource(0, installed.path()), english.fileName());
    // The language asked for before the place: the built-in French page, not installed English.
    QCOMPARE(helpResource(2, installed.path()), QStringLiteral(":/help/") + HelpFileName(2));
}

void MainWindowTest::demoControlsDriveTheVirtualReader() {
    ShellRig rig;
    rig.TickUntilIdentified();
    auto* mark = rig.main->findChild<QLabel*>("virtualReaderLabel");
    QVERIFY(!rig.Action("insertCardAction")->isEnabled());

    // Each control has the reader looked at at once.
    rig.Action("removeCardAction")->trigger();
    QVERIFY(mark->text().contains("no card"));
    QCOMPARE(rig.Interval(), 1);
    QVERIFY(rig.main->pollTimer()->isActive());
    QTRY_COMPARE(cardIdText(rig.Info()), QString("-"));
    QVERIFY(rig.Action("insertCardAction")->isEnabled());

    rig.Action("insertCardAction")->trigger();
    QCOMPARE(rig.Interval(), 1);
    rig.TickUntilIdentified();
    QCOMPARE(cardIdText(rig.Info()), QString(kDemoIccid));

    rig.Action("unplugReaderAction")->trigger();
    QVERIFY(mark->text().contains("unplugged"));
    rig.Tick();
    QVERIFY(!rig.engine().ReaderPresent());
}

void MainWindowTest::demoLoadsAnotherCardImage() {
    ShellRig rig;
    rig.TickUntilIdentified();
    QTemporaryDir folder;
    const QString broken = folder.filePath("broken.json");
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{ \"format\": ");
    file.close();

    // A damaged image: said so, and the card in the reader stays.
    rig.dialogs.QueueFileName(broken);
    rig.Action("loadCardAction")->trigger();
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{std::nullopt});
    QVERIFY(rig.dialogs.LastMessage().text.contains("broken.json"));
    rig.Tick();
    QCOMPARE(cardIdText(rig.Info()), QString(kDemoIccid));

    // A sound one goes into the reader and is read whole.
    const QString other = folder.filePath("other.json");
    QString error;
    QVERIFY2(WriteCardImageFile(other, OtherCard()->ToImage(), error), qPrintable(error));
    rig.dialogs.QueueFileName(other);
    rig.Action("loadCardAction")->trigger();
    QTRY_COMPARE(cardIdText(rig.Info()), QString("8988200000987654321"));
}

void MainWindowTest::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("argument");
    const int automatic = static_cast<int>(ReaderChoice::Kind::Auto);
    const int hid = static_cast<int>(ReaderChoice::Kind::Hid);
    const int virt = static_cast<int>(ReaderChoice::Kind::Virtual);
    const int socket = static_cast<int>(ReaderChoice::Kind::Socket);
    QTest::newRow("default") << QStringList{} << true << automatic << "";
    QTest::newRow("demo") << QStringList{"--demo"} << true << virt << "";
    QTest::newRow("socket") << QStringList{"--reader=socket:/run/r"} << true << socket << "/run/r";
    QTest::newRow("no value") << QStringList{"--reader"} << false << hid << "";
    QTest::newRow("stray word") << QStringList{"card.json"} << false << hid << "";
    QTest::newRow("record files") << QStringList{"--demo", "book.SPB", "texts.sms"} << true << virt
                                  << "";
    QTest::newRow("phone book picture")
        << QStringList{"--demo", "--read-phonebook", "1234", "--screenshot", "p.png"} << true
        << virt << "";
    QTest::newRow("SMS picture") << QStringList{"--demo", "--read-sms", "1234"} << true << virt
                                 << "";
    QTest::newRow("phone book without PIN")
        << QStringList{"--demo", "--read-phonebook"} << false << hid << "";
    QTest::newRow("phone book and SMS at once")
        << QStringList{"--demo", "--read-phonebook", "1234", "--read-sms", "1234"} << false << hid
        << "";
}

void MainWindowTest::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QFETCH(int, kind);
    QFETCH(QString, argument);
    ProgramOptions options;
    QString error;
    arguments.prepend("pellucard");
    QCOMPARE(parseProgramOptions(arguments, options, error), accepted);
    if (!accepted) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QCOMPARE(static_cast<int>(options.reader.kind), kind);
    QCOMPARE(options.readPhoneBookPin,
             arguments.contains("--read-phonebook") ? QStringLiteral("1234") : QString());
    QCOMPARE(QString::fromStdString(options.reader.argument), argument);
    QCOMPARE(options.readSmsPin,
             arguments.contains("--read-sms") ? QStringLiteral("1234") : QString());
    // Files to open, made absolute: a running copy opens them from its own folder.
    for (const QString& file : options.files)
        QVERIFY2(QFileInfo(file).isAbsolute() && arguments.contains(QFileInfo(file).fileName()),
                 qPrintable(file));
    QCOMPARE(options.files.size(), arguments.filter(QRegularExpression("\\.(SPB|sms)$")).size());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
