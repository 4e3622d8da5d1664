// The type and group cells of the phone book window, edited with a combo box of the names the
// card offers: chosen by their first letters, committed and undone as any cell edit, cancelled
// with Escape; a card that offers none; the computer list, where other text may be typed.
#include <QClipboard>
#include <QtTest>

#include <numeric>

#include "platform/pcsc_channel.h"
#include "records/record_file.h"
#include "simulator/virtual_uicc_card.h"
#include "support/sim_card_terminal.h"
#include "support/window_rig.h"
#include "windows/cell_choice_editor.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/usim_column_widths.h"

using namespace pellucard;
using namespace pellucard::testing;

class UsimCellChoiceTest : public QObject {
    Q_OBJECT

    static constexpr int kSim = RecordWindow::kSimList;
    static constexpr int kComputer = RecordWindow::kComputerList;

    std::unique_ptr<WindowRig> rig;
    PhoneBookWindow* window = nullptr;

    // The window rig with the demo card as a virtual USIM, changed by `tweak` first, and its
    // phone book read.
    void open(void (*tweak)(CardImage&) = nullptr, bool read = true) {
        rig = std::make_unique<WindowRig>();
        QString error;
        CardImage demo;
        ReadCardImageFile(QString::fromLatin1(kDemoCardResource), demo, error);
        if (tweak)
            tweak(demo);
        std::shared_ptr<VirtualUiccCard> card = VirtualUiccCard::FromImage(demo, error);
        QVERIFY2(card, qPrintable(error));
        auto reader = std::make_unique<ReaderSession>();
        auto channel = std::make_unique<PcscChannel>(std::make_unique<SimCardTerminal>(card));
        reader->pcsc = channel.get();
        reader->engine = std::make_unique<Pellucard>(std::move(channel));
        rig->pins.reset();
        rig->session = std::make_unique<Session>(std::move(reader));
        rig->pins = std::make_unique<PinDialogLauncher>(*rig->session, &rig->frame);
        rig->IdentifyCard();
        window = rig->Open<PhoneBookWindow>();
        QVERIFY(window);
        if (!read)
            return;
        rig->AnswerVerifyPin();
        window->findChild<QPushButton*>("readButton")->click();
        QCOMPARE(window->usedCount(kSim), 20);
    }
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

private slots:
    void cleanup() {
        delete window;
        window = nullptr;
        rig.reset();
    }

    // The card list's type cell offers the card's types and nothing else; the first letters
    // pick one, which the list holds at once as one undo step; Escape takes a choice back.
    void theCardListChoosesAmongTheCardsNames() {
        open();
        QVERIFY(!QTest::currentTestFailed());
        CellChoiceEditor* box = choiceOver(kSim, 1, usim_column::kNumberType);
        QVERIFY(box);
        QVERIFY(!box->isEditable());
        QCOMPARE(offered(box), QStringList({"", "Mobile", "Work", "Home"}));
        QCOMPARE(box->currentText(), QStringLiteral("Home"));

        const int steps = window->undoStack()->index();
        QTest::keyClicks(box, "wo");
        QCOMPARE(cell(kSim, 1, usim_column::kNumberType), QStringLiteral("Work"));
        QVERIFY(window->cardSideModified());
        QTest::keyClick(box, Qt::Key_Return);  // the window's Enter: on to the next row
        QTRY_COMPARE(window->grid(kSim)->currentRow(), 2);
        QCOMPARE(window->undoStack()->index(), steps + 1);
        window->undoStack()->undo();
        QCOMPARE(cell(kSim, 1, usim_column::kNumberType), QStringLiteral("Home"));
        QVERIFY(!window->cardSideModified());

        box = choiceOver(kSim, 1, usim_column::kNumberType);
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_Delete);  // the empty entry
        QCOMPARE(cell(kSim, 1, usim_column::kNumberType), QString());
        QTest::keyClick(box, Qt::Key_Escape);
        QTRY_VERIFY(!window->editorOverCell());
        QCOMPARE(cell(kSim, 1, usim_column::kNumberType), QStringLiteral("Home"));
        QVERIFY(!window->cardSideModified());
        QCOMPARE(window->undoStack()->index(), steps);
    }

    // A group typed before (or pasted with its row) that the card does not offer stays in the
    // cell as it opens, for the write to refuse; a pasted text picks the name it spells, and
    // one the card does not offer changes nothing.
    void aGroupCellKeepsWhatItHeldAndTakesOnlyOfferedPastes() {
        open();
        QVERIFY(!QTest::currentTestFailed());
        window->recordList(kSim).SetText(2, usim_column::kGroup, QStringLiteral("Neighbours"));
        CellChoiceEditor* box = choiceOver(kSim, 2, usim_column::kGroup);
        QVERIFY(box);
        QCOMPARE(offered(box), QStringList({"", "Family", "Work", "Friends", "Neighbours"}));
        QCOMPARE(box->currentText(), QStringLiteral("Neighbours"));
        QCOMPARE(cell(kSim, 2, usim_column::kGroup), QStringLiteral("Neighbours"));

        QApplication::clipboard()->setText(QStringLiteral("Strangers"));
        window->pasteRecords(kSim);
        QCOMPARE(cell(kSim, 2, usim_column::kGroup), QStringLiteral("Neighbours"));
        QApplication::clipboard()->setText(QStringLiteral("friends"));
        window->pasteRecords(kSim);
        QCOMPARE(cell(kSim, 2, usim_column::kGroup), QStringLiteral("Friends"));
        QCOMPARE(window->choiceEditor()->currentText(), QStringLiteral("Friends"));
    }

    // A card whose phone book names no types and no groups: the cells offer only the empty
    // entry, and say why.
    void aCardWithoutNamesSaysSo() {
        open([](CardImage& image) {
            for (const char* path : {"3F00/7F10/5F3A/4F4B", "3F00/7F10/5F3A/4F4C"}) {
                for (CardRecord& record : image.FindFile(path)->records)
                    record = {Bytes(record.data.size(), 0xFF), {}};
            }
        });
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(window->usimBook().present);
        CellChoiceEditor* box = choiceOver(kSim, 5, usim_column::kNumberType);
        QVERIFY(box);
        QCOMPARE(offered(box).first(), QString());
        QCOMPARE(offered(box).size(), cell(kSim, 5, usim_column::kNumberType).isEmpty() ? 1 : 2);
        QCOMPARE(box->toolTip(), Message(MessageId::UsimNoNumberTypesOffered, 0));
        box = choiceOver(kSim, 5, usim_column::kGroup);
        QVERIFY(box);
        QCOMPARE(box->toolTip(), Message(MessageId::UsimNoGroupsOffered, 0));
    }

    // The computer list is bound to no card: it offers the names of the phone book read last
    // and takes any text, and the list and its file follow each keystroke.
    void theComputerListTakesFreeText() {
        open();
        QVERIFY(!QTest::currentTestFailed());
        CellChoiceEditor* box = choiceOver(kComputer, 1, usim_column::kNumberType);
        QVERIFY(box);
        QVERIFY(box->isEditable());
        QCOMPARE(offered(box), QStringList({"", "Mobile", "Work", "Home"}));
        const int steps = window->undoStack()->index();
        QTest::keyClicks(box, "Pager");
        QCOMPARE(cell(kComputer, 1, usim_column::kNumberType), QStringLiteral("Pager"));
        QVERIFY(window->modified());
        box->setCurrentIndex(1);
        QCOMPARE(cell(kComputer, 1, usim_column::kNumberType), QStringLiteral("Mobile"));
        QCOMPARE(window->undoStack()->index(), steps + 1);  // one stay in the cell, one step
    }

    // Before any card was read no names are known: a type pasted with its row is typed over
    // in the cell editor as ever.
    void withoutNamesTheComputerListIsTyped() {
        open(nullptr, false);
        QVERIFY(!QTest::currentTestFailed());
        const RecordList& titles = window->recordList(kComputer);
        QStringList header;
        for (int column : {phone_column::kName, phone_column::kNumber, usim_column::kSecondNumber,
                           usim_column::kNumberType})
            header.append(titles.Text(0, column));
        QApplication::clipboard()->setText(header.join('\t') + "\r\nBob\t0301\t0302\tPager\r\n");
        window->pasteRecords(kComputer);
        QCOMPARE(cell(kComputer, 1, usim_column::kNumberType), QStringLiteral("Pager"));
        QVERIFY(!choiceOver(kComputer, 1, usim_column::kNumberType));
        QVERIFY(window->editor()->isVisible());
        window->editor()->replaceText(QStringLiteral("Fax"));
        QCOMPARE(cell(kComputer, 1, usim_column::kNumberType), QStringLiteral("Fax"));
    }
};

// The seven columns of a list that shows the USIM columns: the name and number stay readable
// while the USIM columns can give up width, and the columns fill the list without scrolling
// while they can.
class UsimColumnWidthsTest : public QObject {
    Q_OBJECT

    static int sum(const std::array<int, 7>& widths) {
        return std::accumulate(widths.begin(), widths.end(), 0);
    }

private slots:
    void theNameAndNumberComeFirst() {
        // Alias, Phone, Second number, Type, E-mail, Second name, Group.
        const std::array<int, 7> titles = {45, 50, 107, 40, 50, 90, 50};
        const int readable = 100;
        const int narrowest = 40;

        // Room for all: every title whole, the rest mostly to the name, numbers and e-mail.
        auto widths = usimColumnWidths(800, titles, readable, narrowest);
        QVERIFY(sum(widths) <= 800 && sum(widths) > 800 - 7);
        for (std::size_t i = 0; i < titles.size(); ++i)
            QVERIFY(widths[i] >= titles[i]);
        QVERIFY(widths[0] > readable && widths[4] > titles[4]);

        // A laptop's half window: the titles of the USIM columns are cut, never the numbers.
        widths = usimColumnWidths(515, titles, readable, narrowest);
        QCOMPARE(widths[0], readable);
        QCOMPARE(widths[1], readable);
        QVERIFY(sum(widths) <= 515 && sum(widths) > 515 - 5);
        for (std::size_t i = 2; i < titles.size(); ++i)
            QVERIFY(widths[i] >= narrowest && widths[i] <= titles[i]);
        QCOMPARE(widths[3], narrowest);  // the type's title was no wider

        // Less than the narrowest widths: the USIM columns keep them and the list scrolls.
        widths = usimColumnWidths(250, titles, readable, narrowest);
        for (std::size_t i = 2; i < titles.size(); ++i)
            QCOMPARE(widths[i], narrowest);
        QVERIFY(widths[0] >= titles[0] && widths[0] < readable);
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int status = 0;
    {
        UsimCellChoiceTest choices;
        status |= QTest::qExec(&choices, argc, argv);
    }
    UsimColumnWidthsTest widths;
    status |= QTest::qExec(&widths, argc, argv);
    return status;
}

#include "usim_cell_choice_test.moc"
