// The phone book window on a card with a USIM phone book: the virtual USIM in a smart-card
// reader, the second number, e-mail, second name and group read, edited (type and group with a
// combo box of the card's names), written back and kept in contact files.
#include <QClipboard>
#include <QtTest>

#include <numeric>

#include "catalogue/status_words.h"
#include "platform/pcsc_channel.h"
#include "platform/virtual_usim_reader.h"
#include "records/record_file.h"
#include "records/usim_contact_fields.h"
#include "simulator/virtual_uicc_card.h"
#include "support/image_contents.h"
#include "support/sim_card_terminal.h"
#include "support/window_rig.h"
#include "windows/cell_choice_editor.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/usim_column_widths.h"

using namespace pellucard;
using namespace pellucard::testing;

class UsimPhoneBookWindowTest : public QObject {
    Q_OBJECT

    static constexpr int kSim = RecordWindow::kSimList;
    static constexpr int kComputer = RecordWindow::kComputerList;
    static constexpr char kJoseHidden[] = "+4915112345678";  // his number shown in no column

    std::unique_ptr<WindowRig> rig;
    std::shared_ptr<VirtualUiccCard> card;
    PhoneBookWindow* window = nullptr;

    QStringList usimTexts(int list, int row) {
        QStringList texts;
        for (const int column :
             {usim_column::kSecondNumber, usim_column::kNumberType, usim_column::kEmail,
              usim_column::kSecondName, usim_column::kGroup})
            texts.append(window->recordList(list).Text(row, column));
        return texts;
    }
    QString status() { return window->findChild<QLabel*>("lastReadLabel")->text(); }
    void read() {
        rig->AnswerVerifyPin();
        window->findChild<QPushButton*>("readButton")->click();
        QVERIFY2(window->usedCount(kSim) == 20, qPrintable(status()));
    }
    // The window rig with the demo card as a virtual USIM in a PC/SC reader, changed by `tweak`.
    void open(void (*tweak)(CardImage&) = nullptr) {
        rig = std::make_unique<WindowRig>();
        QString error;
        CardImage demo;
        ReadCardImageFile(QString::fromLatin1(kDemoCardResource), demo, error);
        if (tweak)
            tweak(demo);
        card = VirtualUiccCard::FromImage(demo, error);
        QVERIFY2(card, qPrintable(error));
        auto reader = std::make_unique<ReaderSession>();
        auto channel = std::make_unique<PcscChannel>(std::make_unique<SimCardTerminal>(card));
        reader->pcsc = channel.get();
        reader->engine = std::make_unique<Pellucard>(std::move(channel));
        rig->pins.reset();
        rig->session = std::make_unique<Session>(std::move(reader));
        rig->pins = std::make_unique<PinDialogLauncher>(*rig->session, &rig->frame);
        rig->IdentifyCard();
        QVERIFY((window = rig->Open<PhoneBookWindow>()));
    }
    // The combo box open over the cell (null when the cell opened another editor).
    CellChoiceEditor* choiceOver(int list, int row, int column) {
        ClickCell(window->grid(list), row, column);
        if (!QTest::qWaitFor([&] { return window->editorOverCell(); }))
            return nullptr;
        CellChoiceEditor* box = window->choiceEditor();
        return box->isVisible() ? box : nullptr;
    }
    static QStringList offered(const QComboBox* box) {
        QStringList names;
        for (int i = 0; i < box->count(); ++i)
            names.append(box->itemText(i));
        return names;
    }
    QString cell(int list, int row, int column) {
        return window->recordList(list).Text(row, column);
    }
    void writeAndReadBack() {
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // save it to the card
        window->writeToCard();
        QVERIFY2(!window->cardSideModified(), qPrintable(status()));
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // replace the list
        window->readCard();
    }

private slots:
    void init() {
        open();
        read();
    }

    void cleanup() {
        delete window;
        window = nullptr;
        rig.reset();
    }

    // Read, edited in their cells and written back, an e-mail, a group and a second number
    // change their records, the entries' change marks and the change counter, and not another
    // byte of the card; the number José does not show stays his.
    void anEditWrittenBackChangesOnlyItsRecords() {
        QVERIFY(!window->grid(kSim)->isColumnHidden(usim_column::kEmail - 1));
        QCOMPARE(usimTexts(kSim, 1),
                 QStringList({"+441632960456", "Home", "alice@example.org", "Ali", "Family"}));
        const CardImage before = card->ToImage();
        TypeOver(window, kSim, 1, usim_column::kEmail, QStringLiteral("alice.m@example.org"));
        TypeOver(window, kSim, 1, usim_column::kGroup,
                 QStringLiteral("friends"));  // the card's "Friends"
        TypeOver(window, kSim, 2, usim_column::kSecondNumber, QStringLiteral("0301111111"));
        writeAndReadBack();
        const std::string pb = "3F00/7F10/5F3A/";
        const std::set<std::string> expected = {pb + "4F50#1", pb + "4F26#1", pb + "4F09#1",
                                                pb + "4F11#2", pb + "4F09#2", pb + "4F23#0"};
        QCOMPARE(Changed(before, card->ToImage()), expected);
        QCOMPARE(usimTexts(kSim, 1),
                 QStringList({"+441632960456", "Home", "alice.m@example.org", "Ali", "Friends"}));
        QCOMPARE(window->usimBook().bySlot.at(2).numbers[1].number, kJoseHidden);
    }

    // What the card cannot take is named with its row and the reason, and nothing of that
    // contact is written; the other rows still are.
    void aRefusalWritesNothingOfThatContact() {
        const CardImage before = card->ToImage();
        TypeOver(window, kSim, 1, usim_column::kGroup, QStringLiteral("Neighbours"));
        TypeOver(window, kSim, 2, usim_column::kSecondName, QStringLiteral("Pepe"));
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->writeToCard();
        QCOMPARE(status(), Message(MessageId::UsimFieldsRefused, 0)
                               .arg(1)
                               .arg(Message(MessageId::UsimFieldNotOffered, 0)));
        QVERIFY(window->cardSideModified());
        const auto keys = Changed(before, card->ToImage());
        QVERIFY(!keys.count("3F00/7F10/5F3A/4F26#1"));
        QVERIFY(keys.count("3F00/7F10/5F3A/4F19#2"));  // José's second name
    }

    // Sorted, every contact goes to its new slot whole, the number it does not show too.
    void aSortedListTakesEveryFieldAlong() {
        const QStringList alice = usimTexts(kSim, 1);
        ClickTitle(window->grid(kSim), phone_column::kName);
        int aliceRow = 1;
        while (window->recordList(kSim).Text(aliceRow, phone_column::kName) != "Alice Martin")
            QVERIFY(++aliceRow <= 20);
        QVERIFY(aliceRow > 1);
        writeAndReadBack();
        QCOMPARE(usimTexts(kSim, aliceRow), alice);
        QStringList holders;
        for (const auto& [slot, contact] : window->usimBook().bySlot) {
            for (const auto& number : contact.numbers) {
                if (number.number == kJoseHidden)
                    holders.append(QString::fromStdString(contact.name));
            }
        }
        QCOMPARE(holders, QStringList({"José Müller"}));
    }

    // Copied to the computer list, saved and opened again, the five values come back, kept in
    // the contact fields that mean the same; one that came in another way (an import) is kept.
    void aContactFileKeepsTheUsimFields() {
        window->recordList(kSim).SetText(1, usim_column::kNumberType, QStringLiteral("Work"));
        window->recordList(kSim).SetText(1, phone_column::kMark, QStringLiteral("1"));
        window->copyMarkedToComputer();
        QCOMPARE(window->usedCount(kComputer), 1);
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
        window->newFile();
        rig->dialogs.QueueFileName(path);
        window->openFile();
        QCOMPARE(usimTexts(kComputer, 1),
                 QStringList({"+441632960456", "Work", "alice@home.example", "Ali", "Family"}));
    }

    // Names and numbers alone, written by the run of the ADN records: a renamed, a new and an
    // emptied entry are each marked in EF PBC and counted once in EF CC, and not another byte
    // of the card changes.
    void namesAndNumbersAloneAreMarkedAndCounted() {
        const CardImage before = card->ToImage();
        TypeOver(window, kSim, 1, phone_column::kName, QStringLiteral("Alice M"));
        TypeOver(window, kSim, 3, phone_column::kName, QStringLiteral("Dana"));
        TypeOver(window, kSim, 3, phone_column::kNumber, QStringLiteral("123"));
        TypeOver(window, kSim, 5, phone_column::kName, {});
        TypeOver(window, kSim, 5, phone_column::kNumber, {});
        writeAndReadBack();
        const std::string adn = "3F00/7F10/6F3A#";
        const std::string pb = "3F00/7F10/5F3A/";
        const std::set<std::string> expected = {adn + "1",     adn + "3",     adn + "5",
                                                pb + "4F09#1", pb + "4F09#3", pb + "4F09#5",
                                                pb + "4F23#0"};
        QCOMPARE(Changed(before, card->ToImage()), expected);
        QCOMPARE(card->ToImage().FindFile(pb + "4F23")->body, (Bytes{0x00, 0x08}));
    }

    // The combo box over a type or group cell of the card list offers the card's names and
    // nothing else; the first letters pick one, which the list holds at once as one undo step.
    void theCardListChoosesAmongTheCardsNames() {
        CellChoiceEditor* box = choiceOver(kSim, 1, usim_column::kNumberType);
        QVERIFY(box && !box->isEditable());
        QCOMPARE(offered(box), QStringList({"", "Mobile", "Work", "Home"}));
        QCOMPARE(box->currentText(), QStringLiteral("Home"));
        const int steps = window->undoStack()->index();
        QTest::keyClicks(box, "wo");
        QCOMPARE(cell(kSim, 1, usim_column::kNumberType), QStringLiteral("Work"));
        QTest::keyClick(box, Qt::Key_Return);  // the window's Enter: on to the next row
        QTRY_COMPARE(window->grid(kSim)->currentRow(), 2);
        QCOMPARE(window->undoStack()->index(), steps + 1);
        window->undoStack()->undo();
        QCOMPARE(cell(kSim, 1, usim_column::kNumberType), QStringLiteral("Home"));
        QVERIFY(!window->cardSideModified());

        // A group the card does not offer (pasted with its row) stays as the cell opens, for the
        // write to refuse; a pasted text picks the name it spells, and no other.
        window->recordList(kSim).SetText(2, usim_column::kGroup, QStringLiteral("Neighbours"));
        QVERIFY((box = choiceOver(kSim, 2, usim_column::kGroup)));
        QCOMPARE(offered(box), QStringList({"", "Family", "Work", "Friends", "Neighbours"}));
        QApplication::clipboard()->setText(QStringLiteral("Strangers"));
        window->pasteRecords(kSim);
        QCOMPARE(cell(kSim, 2, usim_column::kGroup), QStringLiteral("Neighbours"));
        QApplication::clipboard()->setText(QStringLiteral("friends"));
        window->pasteRecords(kSim);
        QCOMPARE(cell(kSim, 2, usim_column::kGroup), QStringLiteral("Friends"));

        // The computer list is bound to no card: it offers the names of the phone book read last
        // and takes any text.
        QVERIFY((box = choiceOver(kComputer, 1, usim_column::kNumberType)) && box->isEditable());
        QCOMPARE(offered(box), QStringList({"", "Mobile", "Work", "Home"}));
        QTest::keyClicks(box, "Pager");
        QCOMPARE(cell(kComputer, 1, usim_column::kNumberType), QStringLiteral("Pager"));
    }

    // Onto a card whose USIM phone book the window never read, a write the card refuses at
    // slot 5 has still added an entry of a name alone at slot 3: it is numbered after EF PUID,
    // marked in EF PBC and counted in EF CC at once (closing the window would lose that), and
    // the status line still says the card refused.
    void aWriteRefusedPartWayKeepsTheBookkeepingOfWhatItWrote() {
        cleanup();
        const std::string pb = "3F00/7F10/5F3A/";
        open([](CardImage& image) {
            const std::string pb = "3F00/7F10/5F3A/";
            image.refusals.push_back({"4F3A", CardRefusal::Command::Update, 5, 0x6F00});
            // EF UID 4F21 joins the block, numbering the entries 1, 2 and 3.
            Bytes& pbr = image.FindFile(pb + "4F30")->records[0].data;
            pbr.insert(pbr.begin() + 2 + pbr[1], {0xC9, 0x02, 0x4F, 0x21});
            pbr[1] += 4;
            pbr.resize(pbr.size() - 4);
            CardFile uids = *image.FindFile(pb + "4F26");  // as many records of two bytes
            uids.path = pb + "4F21";
            const Bytes ids[] = {{0x00, 0x01}, {0x00, 0x02}, {0x00, 0x00}, {0x00, 0x03}};
            for (std::size_t i = 0; i < std::size(ids); ++i)
                uids.records[i].data = ids[i];
            image.files.push_back(uids);
            image.FindFile(pb + "4F24")->body = {0x00, 0x03};
        });
        QVERIFY(!QTest::currentTestFailed());

        const CardImage before = card->ToImage();
        TypeOver(window, kSim, 3, phone_column::kName, QStringLiteral("Dana"));
        TypeOver(window, kSim, 5, phone_column::kName, QStringLiteral("Fyodor"));
        rig->AnswerVerifyPin();
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // save to the card
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // over slots never read
        window->writeToCard();
        QCOMPARE(status(),
                 Message(MessageId::CardRefusedRecord, 0).arg(5).arg(StatusWordText(0x6F00, 0)));
        const std::string adn = "3F00/7F10/6F3A#";
        QCOMPARE(Changed(before, card->ToImage()),
                 (std::set<std::string>{adn + "3", pb + "4F09#3", pb + "4F21#3", pb + "4F24#0",
                                        pb + "4F23#0"}));
        QCOMPARE(card->ToImage().FindFile(pb + "4F21")->records[2].data, (Bytes{0x00, 0x04}));
        QCOMPARE(card->ToImage().FindFile(pb + "4F23")->body, (Bytes{0x00, 0x06}));
    }

    // A row that becomes another contact takes nothing its row does not show of the one it
    // replaces: Zed over José has his own second number only. José's name corrected is still
    // José, who keeps the number no column shows.
    void anotherContactInheritsNoHiddenFields() {
        TypeOver(window, kSim, 2, phone_column::kName, QStringLiteral("Jose Muller"));
        writeAndReadBack();
        QCOMPARE(window->usimBook().bySlot.at(2).numbers[1].number, kJoseHidden);
        TypeOver(window, kSim, 2, phone_column::kName, QStringLiteral("Zed"));
        TypeOver(window, kSim, 2, phone_column::kNumber, QStringLiteral("0123"));
        TypeOver(window, kSim, 2, usim_column::kSecondNumber, QStringLiteral("0777"));
        writeAndReadBack();
        const auto& numbers = window->usimBook().bySlot.at(2).numbers;
        QCOMPARE(numbers[0].number, std::string("0777"));
        QCOMPARE(numbers[1].number, std::string());
    }
};

// A GSM card has no USIM phone book: an e-mail brought over from a file has nowhere to go on
// it, and the user is told.
class GsmPhoneBookWindowTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { Close(); }

    void anEmailForAGsmCardIsReported() {
        ReadWith("readButton");
        QVERIFY(!window->usimBook().present);
        QVERIFY(window->grid(kSim)->isColumnHidden(usim_column::kEmail - 1));
        Sim().SetText(2, usim_column::kEmail, QStringLiteral("jose@example.com"));
        Sim().SetTag(2, 0);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        window->writeToCard();
        QCOMPARE(label("lastReadLabel")->text(),
                 Message(MessageId::UsimFieldsNoPhoneBook, 0).arg(QStringLiteral("2")));
    }
};

// Number types as people name them, and the card's own names; a changed type moves the number.
// The widths of the USIM columns.
class NumberTypeTest : public QObject {
    Q_OBJECT

private slots:
    void typesFindTheirFields() {
        const QStringList card = {"Móvil", "Trabajo", "Casa"};
        QCOMPARE(MatchNumberType(QStringLiteral("mobile"), card), QStringLiteral("Móvil"));

        // A mobile number whose type becomes home is kept as a home number alone.
        RecordList list(2, usim_column::kCount);
        list.SetText(1, contact_field::kMobilePhone, QStringLiteral("0612345678"));
        FillUsimColumnsFromContactFields(list, 1);
        QCOMPARE(list.Text(1, usim_column::kNumberType), QStringLiteral("Mobile"));
        list.SetText(1, usim_column::kNumberType, QStringLiteral("Home"));
        KeepUsimColumnsInContactFields(list, 1);
        QCOMPARE(list.Text(1, contact_field::kMobilePhone), QString());
        QCOMPARE(list.Text(1, contact_field::kHomeTelephone), QStringLiteral("0612345678"));

        // A type that names a field holding another number (as each letter typed does on the
        // way to "Work") leaves that number where it is.
        list.SetText(1, contact_field::kOfficeTelephone, QStringLiteral("0305"));
        for (const char* typed : {"W", "Work"}) {
            list.SetText(1, usim_column::kNumberType, QString::fromLatin1(typed));
            KeepUsimColumnsInContactFields(list, 1);
            QCOMPARE(list.Text(1, contact_field::kOfficeTelephone), QStringLiteral("0305"));
            QCOMPARE(list.Text(1, contact_field::kHomeTelephone), QStringLiteral("0612345678"));
        }
    }

    // Name, number, second number, type, e-mail, second name, group: the name and number stay
    // readable while the USIM columns can give up width, and the columns fill the list.
    void theNameAndNumberComeFirst() {
        const std::array<int, 7> titles = {45, 50, 107, 40, 50, 90, 50};
        for (const int rest : {800, 515}) {  // room for every title; half a laptop's screen
            const auto widths = usimColumnWidths(rest, titles, 100, 40);
            const int sum = std::accumulate(widths.begin(), widths.end(), 0);
            QVERIFY(sum <= rest && sum > rest - 7);
            QVERIFY(widths[0] >= 100 && widths[1] >= 100);
            for (std::size_t i = 2; i < titles.size(); ++i)
                QVERIFY(widths[i] >= (rest == 800 ? titles[i] : 40));
        }
    }

    // The demo card as a USIM in a reader of the program's own.
    void theDemoUsimHasItsPhoneBook() {
        std::string why;
        const auto reader = OpenVirtualUsimSession({}, why);
        QVERIFY2(reader, why.c_str());
        QVERIFY(reader->engine->OpenReader() && reader->engine->ResetCard().IsDone());
        QVERIFY(reader->engine->VerifyPin(1, "1234").IsDone());
        QVERIFY(UsimPhoneBook(*reader->engine, PhoneBookPlace::Global).Open().IsDone());
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
    return status;
}

#include "usim_phone_book_window_test.moc"
