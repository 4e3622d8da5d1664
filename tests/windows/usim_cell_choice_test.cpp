// The type and group cells of the phone book window, edited with a combo box of the names the
// card offers, and the widths of the USIM columns beside the name and number.
#include <QClipboard>
#include <QtTest>

#include <numeric>

#include "platform/pcsc_channel.h"
#include "simulator/virtual_uicc_card.h"
#include "support/sim_card_terminal.h"
#include "support/window_rig.h"
#include "windows/cell_choice_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/usim_column_widths.h"

using namespace pellucard;
using namespace pellucard::testing;

class UsimCellChoiceTest : public QObject {
    Q_OBJECT

    static constexpr int kSim = RecordWindow::kSimList;
    std::unique_ptr<WindowRig> rig;
    PhoneBookWindow* window = nullptr;

    // The demo card as a virtual USIM, changed by `tweak`, its phone book read into the window.
    void open(void (*tweak)(CardImage&) = nullptr) {
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
        QVERIFY((window = rig->Open<PhoneBookWindow>()));
        rig->AnswerVerifyPin();
        window->findChild<QPushButton*>("readButton")->click();
        QCOMPARE(window->usedCount(kSim), 20);
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

private slots:
    void cleanup() {
        delete window;
        window = nullptr;
        rig.reset();
    }

    // The card's types and nothing else; the first letters pick one, which the list holds at
    // once as one undo step; Escape takes the stay's choice back.
    void theCardListChoosesAmongTheCardsNames() {
        open();
        QVERIFY(!QTest::currentTestFailed());
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

        QVERIFY((box = choiceOver(kSim, 1, usim_column::kNumberType)));
        QTest::keyClick(box, Qt::Key_Delete);  // the empty entry
        QCOMPARE(cell(kSim, 1, usim_column::kNumberType), QString());
        QTest::keyClick(box, Qt::Key_Escape);
        QTRY_VERIFY(!window->editorOverCell());
        QCOMPARE(cell(kSim, 1, usim_column::kNumberType), QStringLiteral("Home"));
        QVERIFY(!window->cardSideModified());
        QCOMPARE(window->undoStack()->index(), steps);

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
    }

    // A card whose phone book names no types: only the empty entry, and the tip says why.
    void aCardWithoutNamesSaysSo() {
        open([](CardImage& image) {
            for (CardRecord& record : image.FindFile("3F00/7F10/5F3A/4F4B")->records)
                record = {Bytes(record.data.size(), 0xFF), {}};
        });
        QVERIFY(!QTest::currentTestFailed());
        CellChoiceEditor* box = choiceOver(kSim, 5, usim_column::kNumberType);
        QVERIFY(box);
        QCOMPARE(offered(box), QStringList({""}));
        QCOMPARE(box->toolTip(), Message(MessageId::UsimNoNumberTypesOffered, 0));
    }

    // The computer list is bound to no card: it offers the names of the phone book read last
    // and takes any text, as one step for the stay in the cell.
    void theComputerListTakesFreeText() {
        open();
        QVERIFY(!QTest::currentTestFailed());
        CellChoiceEditor* box =
            choiceOver(RecordWindow::kComputerList, 1, usim_column::kNumberType);
        QVERIFY(box && box->isEditable());
        QCOMPARE(offered(box), QStringList({"", "Mobile", "Work", "Home"}));
        const int steps = window->undoStack()->index();
        QTest::keyClicks(box, "Pager");
        QCOMPARE(cell(RecordWindow::kComputerList, 1, usim_column::kNumberType), "Pager");
        QVERIFY(window->modified());
        QCOMPARE(window->undoStack()->index(), steps + 1);
    }
};

// Name, number, second number, type, e-mail, second name, group: the name and number stay
// readable while the USIM columns can give up width, and the columns fill the list.
class UsimColumnWidthsTest : public QObject {
    Q_OBJECT

private slots:
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
