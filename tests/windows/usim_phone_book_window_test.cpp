// The phone book window on a card with a USIM phone book: the virtual USIM in a smart-card
// reader, the second number, e-mail, second name and group read, edited, written back and kept
// in contact files.
#include <QClipboard>
#include <QtTest>

#include <map>
#include <set>

#include "platform/pcsc_channel.h"
#include "platform/virtual_usim_reader.h"
#include "records/record_file.h"
#include "records/usim_contact_fields.h"
#include "shell/command_line.h"
#include "simulator/virtual_uicc_card.h"
#include "support/sim_card_terminal.h"
#include "support/window_rig.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

// The window rig with the virtual USIM in a PC/SC reader instead of the virtual USB reader.
class UsimWindowRig final : public SessionRig, public ShellHost {
public:
    UsimWindowRig() {
        QString error;
        CardImage demo;
        ReadCardImageFile(QString::fromLatin1(kDemoCardResource), demo, error);
        card = VirtualUiccCard::FromImage(demo, error);
        auto reader = std::make_unique<ReaderSession>();
        auto channel = std::make_unique<PcscChannel>(std::make_unique<SimCardTerminal>(card));
        reader->pcsc = channel.get();
        reader->engine = std::make_unique<Pellucard>(std::move(channel));
        session = std::make_unique<Session>(std::move(reader));
        pins = std::make_unique<PinDialogLauncher>(*session, &frame);
        const auto hold = session->gate().acquire(CardGate::Work::Poll);
        findReaderAndCard(*session, *hold);
        session->setCardId(
            QString::fromStdString(engine().ReadCardInfo(CardInfoItem::Iccid).value.value_or("")));
        readCardInfo(*session, *hold);
    }

    template <class Window>
    Window* Open() {
        auto* window = new Window(*this);
        window->resize(1100, 700);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window)) {
            delete window;
            return nullptr;
        }
        window->activate();
        return window;
    }

    Session& currentSession() override { return *session; }
    void stopPolling() override {}
    void startPolling(int) override {}
    void resumePolling() override {}
    void setFileCommandEnabled(FileMenuEntry, bool) override {}
    PinDialogLauncher& pinDialogs() override { return *pins; }
    PinDialogLauncher& pinLauncher() override { return *pins; }
    QWidget* mainWidget() override { return &frame; }
    void showStatus(const QString&) override {}

    QWidget frame;
    std::unique_ptr<PinDialogLauncher> pins;
    std::shared_ptr<VirtualUiccCard> card;
};

// Every record and body of a card image by "path#record" (record 0: the body).
std::map<std::string, Bytes> contents(const CardImage& image) {
    std::map<std::string, Bytes> all;
    for (const auto& file : image.files) {
        all[file.path + "#0"] = file.body;
        for (std::size_t i = 0; i < file.records.size(); ++i)
            all[file.path + "#" + std::to_string(i + 1)] = file.records[i].data;
    }
    return all;
}

std::set<std::string> changed(const CardImage& before, const CardImage& after) {
    const auto a = contents(before);
    std::set<std::string> keys;
    for (const auto& [key, bytes] : contents(after)) {
        if (!a.count(key) || a.at(key) != bytes)
            keys.insert(key);
    }
    return keys;
}

const QList<int> kUsimColumns = {usim_column::kSecondNumber, usim_column::kNumberType,
                                 usim_column::kEmail, usim_column::kSecondName,
                                 usim_column::kGroup};

}  // namespace

class UsimPhoneBookWindowTest : public QObject {
    Q_OBJECT

    static constexpr int kSim = RecordWindow::kSimList;
    static constexpr int kComputer = RecordWindow::kComputerList;

    std::unique_ptr<UsimWindowRig> rig;
    PhoneBookWindow* window = nullptr;

    QStringList usimTexts(int list, int row) {
        QStringList texts;
        for (const int column : kUsimColumns)
            texts.append(window->recordList(list).Text(row, column));
        return texts;
    }
    bool usimColumnsHidden(int list) {
        for (const int column : kUsimColumns) {
            if (!window->grid(list)->isColumnHidden(column - 1))
                return false;
        }
        return true;
    }
    void read() {
        rig->AnswerVerifyPin();
        window->findChild<QPushButton*>("readButton")->click();
        QVERIFY2(window->usedCount(kSim) == 20, qPrintable(status()));
    }
    QString status() { return window->findChild<QLabel*>("lastReadLabel")->text(); }
    void write() {
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // save it to the card
        window->writeToCard();
    }
    // Types `text` over cell (row, column) of the SIM list as a person does.
    void typeOver(int row, int column, const QString& text) {
        ClickCell(window->grid(kSim), row, column);
        QTRY_VERIFY(window->editorOverCell());
        window->editor()->replaceText(text);
        QTRY_COMPARE(window->recordList(kSim).Text(row, column), text);
    }

private slots:
    void init() {
        rig = std::make_unique<UsimWindowRig>();
        window = rig->Open<PhoneBookWindow>();
        QVERIFY(window);
    }
    void cleanup() {
        delete window;
        window = nullptr;
        rig.reset();
    }

    // The five columns come with the card's phone book, in both lists; a contact shows its
    // first number and address that hold one.
    void readShowsTheUsimColumns() {
        QVERIFY(usimColumnsHidden(kSim));
        read();
        QVERIFY(window->usimBook().present);
        QVERIFY(!usimColumnsHidden(kSim));
        QVERIFY(!usimColumnsHidden(kComputer));
        QCOMPARE(window->recordList(kSim).Text(0, usim_column::kEmail), QStringLiteral("E-mail"));
        QCOMPARE(usimTexts(kSim, 1),
                 QStringList({"+441632960456", "Home", "alice@example.org", "Ali", "Family"}));
        // José has two: the first shows, the other (through EF IAP) stays out of sight.
        QCOMPARE(window->recordList(kSim).Text(2, usim_column::kSecondNumber),
                 QStringLiteral("0309876543"));
        QCOMPARE(window->recordList(kSim).Text(2, usim_column::kNumberType),
                 QStringLiteral("Work"));
        QCOMPARE(window->recordList(kSim).Text(4, usim_column::kGroup),
                 QStringLiteral("Friends, Work"));
        QCOMPARE(usimTexts(kSim, 3), QStringList(5, QString()));
    }

    // Edited in their cells, an e-mail and a group go back to the card: their records, the
    // entry's change mark and the change counter change, and not another byte of the card.
    void anEditWrittenBackChangesOnlyItsRecords() {
        read();
        const CardImage before = rig->card->ToImage();
        typeOver(1, usim_column::kEmail, QStringLiteral("alice.m@example.org"));
        typeOver(1, usim_column::kGroup, QStringLiteral("friends"));  // the card's "Friends"
        QCOMPARE(window->editor()->toolTip(), QStringLiteral("Family, Work, Friends"));
        // José's shown number changes; the one he does not show stays as it was.
        typeOver(2, usim_column::kSecondNumber, QStringLiteral("0301111111"));
        window->grid(kSim)->setFocus();
        write();
        QVERIFY2(!window->cardSideModified(),
                 qPrintable(window->findChild<QLabel*>("lastReadLabel")->text()));
        const std::string pb = "3F00/7F10/5F3A/";
        const std::set<std::string> expected = {pb + "4F50#1", pb + "4F26#1", pb + "4F09#1",
                                                pb + "4F11#2", pb + "4F09#2", pb + "4F23#0"};
        QCOMPARE(changed(before, rig->card->ToImage()), expected);

        // Read again, the row shows what was written.
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // replace the list
        window->readCard();
        QCOMPARE(usimTexts(kSim, 1),
                 QStringList({"+441632960456", "Home", "alice.m@example.org", "Ali", "Friends"}));
        QCOMPARE(window->usimBook().bySlot.at(2).numbers[1].number, "+4915112345678");
    }

    // What the card cannot take is named with its row and the reason, and nothing of that
    // contact is written; the other rows still are.
    void aRefusalNamesTheRecord() {
        read();
        const CardImage before = rig->card->ToImage();
        typeOver(1, usim_column::kGroup, QStringLiteral("Neighbours"));
        typeOver(2, usim_column::kSecondName, QStringLiteral("Pepe"));
        window->grid(kSim)->setFocus();
        write();
        const QString status = window->findChild<QLabel*>("lastReadLabel")->text();
        QCOMPARE(status, Message(MessageId::UsimFieldsRefused, 0)
                             .arg(1)
                             .arg(Message(MessageId::UsimFieldNotOffered, 0)));
        QVERIFY(window->cardSideModified());
        const auto keys = changed(before, rig->card->ToImage());
        QVERIFY(!keys.count("3F00/7F10/5F3A/4F26#1"));
        QVERIFY(keys.count("3F00/7F10/5F3A/4F19#2"));  // José's second name
    }

    // Copied as text and pasted into the other list, a contact keeps its USIM fields.
    void theClipboardCarriesTheUsimFields() {
        read();
        window->recordList(kSim).SetText(4, phone_column::kMark, QStringLiteral("1"));
        window->copyRecords(kSim);
        QVERIFY(QApplication::clipboard()->text().startsWith(
            QStringLiteral("Alias\tPhone\tSecond number\tType\tE-mail\tSecond name\tGroup\r\n")));
        window->pasteRecords(kComputer);
        QCOMPARE(window->usedCount(kComputer), 1);
        QCOMPARE(window->recordList(kComputer).Text(1, phone_column::kName),
                 QStringLiteral("王小明"));
        QCOMPARE(usimTexts(kComputer, 1), usimTexts(kSim, 4));
    }

    // Sorted, every contact goes to its new slot whole, the number it does not show too.
    void aSortedListTakesEveryFieldAlong() {
        read();
        const QStringList alice = usimTexts(kSim, 1);
        ClickTitle(window->grid(kSim), phone_column::kName);
        int aliceRow = 0;
        for (int row = 1; row <= window->usedCount(kSim); ++row) {
            if (window->recordList(kSim).Text(row, phone_column::kName) == "Alice Martin")
                aliceRow = row;
        }
        QVERIFY(aliceRow > 1);
        write();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->readCard();
        QCOMPARE(usimTexts(kSim, aliceRow), alice);
        // José's number out of sight went with him, and no one else has it.
        int holders = 0;
        for (const auto& [slot, contact] : window->usimBook().bySlot) {
            for (const auto& number : contact.numbers) {
                if (number.number == "+4915112345678") {
                    QCOMPARE(contact.name, std::string("José Müller"));
                    ++holders;
                }
            }
        }
        QCOMPARE(holders, 1);
    }

    // A deleted contact takes its e-mail, second name and group along.
    void aDeletedContactLeavesNothingBehind() {
        read();
        for (int column = 1; column < usim_column::kCount; ++column)
            window->recordList(kSim).SetText(1, column, {});
        window->recordList(kSim).SetTag(1, 0);
        write();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->readCard();
        QCOMPARE(usimTexts(kSim, 1), QStringList(5, QString()));
        QCOMPARE(window->recordList(kSim).Text(1, phone_column::kName), QString());
    }

    // Copied to the computer list, saved and opened again, the five values come back, kept in
    // the contact fields that mean the same.
    void aContactFileKeepsTheUsimFields() {
        read();
        window->recordList(kSim).SetText(1, usim_column::kNumberType, QStringLiteral("Work"));
        window->recordList(kSim).SetText(1, phone_column::kMark, QStringLiteral("1"));
        window->copyMarkedToComputer();
        QCOMPARE(window->usedCount(kComputer), 1);
        const QStringList shown = usimTexts(kComputer, 1);
        QCOMPARE(shown,
                 QStringList({"+441632960456", "Work", "alice@example.org", "Ali", "Family"}));
        // An address that came into the contact field another way (an import) is kept.
        window->recordList(kComputer).SetText(1, usim_column::kEmail, {});
        window->recordList(kComputer).SetText(1, contact_field::kPersonalEmail,
                                              QStringLiteral("alice@home.example"));
        const QString path = rig->folder.filePath(QStringLiteral("usim.SPB"));
        rig->dialogs.QueueFileName(path);
        window->saveFileAs();
        RecordList file(257, usim_column::kCount);
        int used = 0;
        QVERIFY(LoadRecordFile(file, path, used, 0));
        QCOMPARE(file.Text(1, contact_field::kOfficeTelephone), QStringLiteral("+441632960456"));
        QCOMPARE(file.Text(1, contact_field::kPersonalEmail), QStringLiteral("alice@home.example"));
        QCOMPARE(file.Text(1, contact_field::kNickname), QStringLiteral("Ali"));
        QCOMPARE(file.Text(1, contact_field::kHobby), QStringLiteral("Family"));

        window->newFile();
        QCOMPARE(usimTexts(kComputer, 1), QStringList(5, QString()));
        rig->dialogs.QueueFileName(path);
        window->openFile();
        QCOMPARE(usimTexts(kComputer, 1),
                 QStringList({"+441632960456", "Work", "alice@home.example", "Ali", "Family"}));
    }
};

// A GSM card's phone book window shows the name and number alone, as it always did.
class GsmPhoneBookWindowTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { Close(); }

    void aGsmCardShowsNoUsimColumns() {
        ReadWith("readButton");
        QCOMPARE(window->usedCount(kSim), 20);
        QVERIFY(!window->usimBook().present);
        for (int list : {kSim, kComputer}) {
            for (int column = 3; column < usim_column::kCount; ++column)
                QVERIFY(window->grid(list)->isColumnHidden(column - 1));
        }
        // An e-mail brought over from a file has nowhere to go on this card: the user is told.
        Sim().SetText(2, usim_column::kEmail, QStringLiteral("jose@example.com"));
        Sim().SetTag(2, 0);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->writeToCard();
        QCOMPARE(label("lastReadLabel")->text(),
                 Message(MessageId::UsimFieldsNoPhoneBook, 0).arg(QStringLiteral("2")));
    }
};

// Number types as people name them in the eight languages, and the card's own names.
class NumberTypeTest : public QObject {
    Q_OBJECT

private slots:
    void typesFindTheirFields() {
        QCOMPARE(NumberFieldOfType(QStringLiteral("Handy")), contact_field::kMobilePhone);
        QCOMPARE(NumberFieldOfType(QStringLiteral("Privé")), contact_field::kHomeTelephone);
        QCOMPARE(NumberFieldOfType(QStringLiteral("Γραφείο")), contact_field::kOfficeTelephone);
        QCOMPARE(NumberFieldOfType(QStringLiteral("Fax casa")), contact_field::kHomeFax);
        QCOMPARE(NumberFieldOfType(QStringLiteral("Work fax")), contact_field::kOfficeFax);
        QCOMPARE(NumberFieldOfType(QStringLiteral("Pager")), contact_field::kOfficeTelephone);
        const QStringList card = {"Móvil", "Trabajo", "Casa"};
        QCOMPARE(MatchNumberType(QStringLiteral("mobile"), card), QStringLiteral("Móvil"));
        QCOMPARE(MatchNumberType(QStringLiteral("CASA"), card), QStringLiteral("Casa"));
        QCOMPARE(MatchNumberType(QStringLiteral("Pager"), card), QStringLiteral("Pager"));
    }

    // A file's mobile number whose type the user changes to home is saved as a home number
    // alone: opened again, the row shows what was saved, not the old field.
    void aChangedTypeMovesTheNumberToItsField() {
        RecordList list(2, usim_column::kCount);
        list.SetText(1, contact_field::kMobilePhone, QStringLiteral("0612345678"));
        FillUsimColumnsFromContactFields(list, 1);
        QCOMPARE(list.Text(1, usim_column::kNumberType), QStringLiteral("Mobile"));
        list.SetText(1, usim_column::kNumberType, QStringLiteral("Home"));
        KeepUsimColumnsInContactFields(list, 1);
        QCOMPARE(list.Text(1, contact_field::kMobilePhone), QString());
        QCOMPARE(list.Text(1, contact_field::kHomeTelephone), QStringLiteral("0612345678"));
        list.SetText(1, usim_column::kNumberType, {});
        FillUsimColumnsFromContactFields(list, 1);
        QCOMPARE(list.Text(1, usim_column::kNumberType), QStringLiteral("Home"));
    }
};

// pellucard --demo-usim: the demo card as a USIM in a reader of the program's own.
class UsimDemoTest : public QObject {
    Q_OBJECT

private slots:
    void theDemoUsimHasItsPhoneBook() {
        ProgramOptions options;
        QString error;
        QVERIFY(parseProgramOptions({"pellucard", "--demo-usim"}, options, error));
        QVERIFY(options.usimDemo && options.readerGiven);
        QVERIFY(
            !parseProgramOptions({"pellucard", "--demo-usim", "--reader", "hid"}, options, error));
        std::string why;
        const auto reader = OpenVirtualUsimSession({}, why);
        QVERIFY2(reader, why.c_str());
        QVERIFY(reader->engine->OpenReader() && reader->engine->ResetCard().IsDone());
        QVERIFY(reader->engine->VerifyPin(1, "1234").IsDone());
        UsimPhoneBook book(*reader->engine, PhoneBookPlace::Global);
        QVERIFY(book.Open().IsDone());
        QVERIFY(!OpenVirtualUsimSession("/nonexistent/card.json", why));
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int status = 0;
    {
        UsimPhoneBookWindowTest usim;
        status |= QTest::qExec(&usim, argc, argv);
    }
    {
        GsmPhoneBookWindowTest gsm;
        status |= QTest::qExec(&gsm, argc, argv);
    }
    NumberTypeTest types;
    status |= QTest::qExec(&types, argc, argv);
    UsimDemoTest demo;
    status |= QTest::qExec(&demo, argc, argv);
    return status;
}

#include "usim_phone_book_window_test.moc"
