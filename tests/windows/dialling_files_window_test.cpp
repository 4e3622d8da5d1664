// The phone book window's card files beside the phone book (own, fixed, service and last
// dialled numbers) on the virtual reader with the demo card: switching, the files only read,
// PIN2 before the fixed dialling numbers are written, and a card without one of them.
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QUndoStack>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"
#include "support/layout_checks.h"
#include "support/window_rig.h"
#include "windows/card_file_choice.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

constexpr char kDemoPin2[] = "5678";

// Every record of `file` as the card holds it now.
std::vector<Bytes> fileRecords(Pellucard& engine, CardRecordFile file) {
    std::vector<Bytes> records;
    if (!engine.EnterRecordFile(file).IsDone())
        return records;
    for (int n = 1; n <= engine.RecordCount(file); ++n)
        records.push_back(engine.ReadFileRecord(file, n).value);
    return records;
}

}  // namespace

class DiallingFilesWindowTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private:
    QComboBox* Box() { return window->findChild<QComboBox*>(QStringLiteral("cardFileBox")); }
    int IndexOf(CardRecordFile file) { return Box()->findData(static_cast<int>(file)); }
    // Picks the file in the selector as a person does; PIN1 is given when the card asks.
    void Pick(CardRecordFile file) {
        if (!rig->session->cardInfo().Pin1Open)
            rig->AnswerVerifyPin();
        QVERIFY(Box()->isEnabled());
        Box()->setCurrentIndex(IndexOf(file));
        emit Box()->activated(IndexOf(file));
    }
    QString Frame() { return window->findChild<QGroupBox*>("listFrame_1")->title(); }
    QString Status() { return label("lastReadLabel")->text(); }
    // Writes the card list with "Do you want to save it to SIM ?" answered Yes and the PIN2
    // dialog given `pin2` (nothing to give: no dialog is expected).
    void WriteWithPin2(const QString& pin2) {
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        if (!pin2.isEmpty())
            rig->AnswerVerifyPin(pin2);
        Button("writeButton")->click();
    }
    void TypeInto(int list, int row, int column, const QString& text) {
        ClickCell(window->grid(list), row, column);
        QTRY_VERIFY(window->editorOverCell());
        window->editor()->selectAll();
        Type(window->editor(), text);
        QTRY_COMPARE(window->recordList(list).Text(row, column), text);
        window->grid(list)->setFocus();
    }

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { Close(); }

    // The own numbers and the last dialled numbers come from the card into the card list, which
    // says what it shows; the count beside it is the file's.
    void showsOwnNumbersAndLastDialled() {
        Pick(CardRecordFile::OwnNumbers);
        QCOMPARE(window->shownCardFile(), CardRecordFile::OwnNumbers);
        QCOMPARE(Frame(), QStringLiteral("SIM card: Own numbers"));
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("Voice"));
        QCOMPARE(Sim().Text(1, 2), QStringLiteral("+447700900123"));
        QCOMPARE(label("recordCountLabel")->text(), QStringLiteral("2"));
        QCOMPARE(Sim().LastSlot(), 2);  // no slot the card does not have

        Pick(CardRecordFile::LastDialled);
        QCOMPARE(Frame(), QStringLiteral("SIM card: Last dialled"));
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("Alice Martin"));
        QCOMPARE(Sim().Text(2, 2), QStringLiteral("0301234567"));
        QCOMPARE(label("recordCountLabel")->text(), QStringLiteral("10"));
        // Back to the phone book, with its 250 records.
        Pick(CardRecordFile::PhoneBook);
        QCOMPARE(Sim().Text(4, 1), QStringLiteral("王小明"));
        QCOMPARE(label("recordCountLabel")->text(), QStringLiteral("250"));
        QCOMPARE(Sim().LastSlot(), RecordWindow::kSlotCapacity);
        QVERIFY(rig->dialogs.Calls().isEmpty());
    }

    // The last dialled numbers are the handset's: no command changes the card list, the write
    // command is greyed and the note says why; a write asked for all the same sends nothing.
    void lastDialledIsReadOnly() {
        Pick(CardRecordFile::LastDialled);
        const auto before = fileRecords(rig->engine(), CardRecordFile::LastDialled);
        QVERIFY(!Button("writeButton")->isEnabled());
        QVERIFY(!Button("deleteButton_1")->isEnabled());
        QLabel* note = window->findChild<QLabel*>(QStringLiteral("cardFileNote"));
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), Message(MessageId::LastDialledReadOnly, 0));
        QCOMPARE(Button("writeButton")->toolTip(), note->text());

        ClickCell(window->grid(kSim), 1, 1);
        QTest::qWait(20);
        QVERIFY(!window->editorOverCell());
        window->grid(kSim)->setFocus();
        QTest::keyClick(window->grid(kSim), Qt::Key_Delete);
        QApplication::clipboard()->setText(QStringLiteral("Alias\tPhone\r\nX\t123\r\n"));
        window->pasteRecords(kSim);
        TypeInto(kComputer, 1, 1, QStringLiteral("Mallory"));
        window->copyAllToCard();
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("Alice Martin"));
        QVERIFY(!window->cardSideModified());
        window->writeToCard();
        QCOMPARE(fileRecords(rig->engine(), CardRecordFile::LastDialled), before);
        // The selector and the reason fit in every language, in the window's share of a small
        // laptop screen.
        window->resize(820, 500);
        for (int language = 0; language < kLanguageCount; ++language) {
            rig->session->setLanguageIndex(language);
            window->changeLanguage();
            QApplication::processEvents();
            QCOMPARE(CaptionsCutOff(window), QStringList());
        }
        Pick(CardRecordFile::PhoneBook);
        QVERIFY(Button("writeButton")->isEnabled() && !note->isVisible());
    }

    // Writing the fixed dialling numbers asks for PIN2 once: a wrong code writes nothing and
    // the dialog says how many attempts are left; the right one writes, and the card gives the
    // record back. With PIN2 blocked nothing is asked and nothing written.
    void fixedDiallingWritesAfterPin2() {
        Pick(CardRecordFile::FixedDialling);
        QCOMPARE(Sim().Text(2, 1), QStringLiteral("Office"));
        const auto before = fileRecords(rig->engine(), CardRecordFile::FixedDialling);
        TypeInto(kSim, 2, 1, QStringLiteral("Doctor"));

        WriteWithPin2(QStringLiteral("0000"));
        QCOMPARE(Status(), Message(MessageId::Pin2NotVerifiedNothingWritten, 0));
        QCOMPARE(fileRecords(rig->engine(), CardRecordFile::FixedDialling), before);
        QCOMPARE(rig->session->cardInfo().Pin2Attempts, 2);
        QCOMPARE(Count(MessageId::WrongPinCodeAttemptsLeft), 1);
        QVERIFY(window->cardSideModified());

        WriteWithPin2(QString::fromLatin1(kDemoPin2));
        QCOMPARE(rig->session->cardInfo().Pin2Attempts, 3);
        QVERIFY(!window->cardSideModified());
        const auto after = fileRecords(rig->engine(), CardRecordFile::FixedDialling);
        QCOMPARE(DecodePhoneBookRecord(after[1]).name, std::string("Doctor"));
        QCOMPARE(after[0], before[0]);  // untouched, sent back as read
        Button("readButton")->click();
        QCOMPARE(Sim().Text(2, 1), QStringLiteral("Doctor"));

        for (int attempt = 0; attempt < 3; ++attempt)
            QVERIFY(!rig->engine().VerifyPin(2, "0000").IsDone());
        TypeInto(kSim, 1, 1, QStringLiteral("Nurse"));
        const int calls = rig->dialogs.Calls().size();
        WriteWithPin2(QString());
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::Pin2BlockedNothingWritten);
        QCOMPARE(rig->dialogs.Calls().size(), calls + 2);  // the question, then the notice
        QCOMPARE(fileRecords(rig->engine(), CardRecordFile::FixedDialling), after);
    }

    // Edits the card list holds unwritten are asked about before another file replaces them:
    // Cancel keeps the list and the selector, No drops them. The history cannot bring the other
    // file's records back into these slots.
    void asksAboutUnwrittenEditsBeforeSwitching() {
        ReadWith("readButton");
        TypeInto(kSim, 1, 1, QStringLiteral("changed"));
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        Pick(CardRecordFile::OwnNumbers);
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::CardEditsNotWrittenQuestion);
        QCOMPARE(window->shownCardFile(), CardRecordFile::PhoneBook);
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("changed"));

        rig->dialogs.QueueAnswer(DialogAnswer::No);
        Pick(CardRecordFile::OwnNumbers);
        QCOMPARE(window->shownCardFile(), CardRecordFile::OwnNumbers);
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("Voice"));
        QVERIFY(!window->undoStack()->canUndo());
        QCOMPARE(Count(MessageId::OverwriteRecordQuestion), 0);
    }

    // A card without fixed dialling numbers: the read says so, the entry is greyed, and the
    // list and the selector stay with the phone book.
    void aFileTheCardLacksIsReportedAndGreyed() {
        rig->Reader().RemoveCard();
        rig->Reader().InsertCard(OtherCard([](CardImage& image) {
            std::erase_if(image.files,
                          [](const CardFile& file) { return file.path == "3F00/7F10/6F3B"; });
        }));
        rig->IdentifyCard();
        window->cardChanged();
        ReadWith("readButton");
        const QString firstName = Sim().Text(1, 1);
        Pick(CardRecordFile::FixedDialling);
        QCOMPARE(Status(), QStringLiteral("Fixed dialling: not on this card."));
        QCOMPARE(window->shownCardFile(), CardRecordFile::PhoneBook);
        QCOMPARE(Box()->currentIndex(), IndexOf(CardRecordFile::PhoneBook));
        QCOMPARE(Sim().Text(1, 1), firstName);
        auto* entries = qobject_cast<QStandardItemModel*>(Box()->model());
        QVERIFY(!entries->item(IndexOf(CardRecordFile::FixedDialling))->isEnabled());
    }
};

QTEST_MAIN(DiallingFilesWindowTest)
#include "dialling_files_window_test.moc"
