// The phone book window's card files beside the phone book (own, fixed, service and last
// dialled numbers) on the virtual reader with the demo card: switching, the files only read,
// PIN2 before the fixed dialling numbers are written, and a card without one of them.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QUndoStack>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "engine/phonebook_entry.h"
#include "support/window_rig.h"
#include "windows/card_file_choice.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

constexpr char kDemoPin2[] = "5678";
constexpr char kFixedDialling[] = "3F00/7F10/6F3B";
constexpr char kLastDialled[] = "3F00/7F10/6F44";

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
    QString Status() { return label("lastReadLabel")->text(); }
    // Writes the card list with "Do you want to save it to SIM ?" answered Yes and the PIN2
    // dialog given `pin2` (nothing to give: no dialog is expected).
    void WriteWithPin2(const QString& pin2) {
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        if (!pin2.isEmpty())
            rig->AnswerVerifyPin(pin2);
        Button("writeButton")->click();
    }

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { Close(); }

    // The last dialled numbers are the handset's: no command changes the card list, the write
    // command is greyed; a write asked for all the same sends nothing.
    void lastDialledIsReadOnly() {
        Pick(CardRecordFile::LastDialled);
        const auto before = rig->FileRecords(kLastDialled);
        QVERIFY(!Button("writeButton")->isEnabled());
        ClickCell(window->grid(kSim), 1, 1);
        QTest::qWait(20);
        QVERIFY(!window->editorOverCell());
        TypeOver(window, kComputer, 1, 1, QStringLiteral("Mallory"));
        window->copyAllToCard();
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("Alice Martin"));
        QVERIFY(!window->cardSideModified());
        window->writeToCard();
        QCOMPARE(rig->FileRecords(kLastDialled), before);
    }

    // Writing the fixed dialling numbers asks for PIN2: a wrong code writes nothing and says so;
    // the right one writes that record alone. With PIN2 blocked nothing is asked and nothing
    // written.
    void fixedDiallingWritesAfterPin2() {
        Pick(CardRecordFile::FixedDialling);
        const auto before = rig->FileRecords(kFixedDialling);
        TypeOver(window, kSim, 2, 1, QStringLiteral("Doctor"));

        WriteWithPin2(QStringLiteral("0000"));
        QCOMPARE(Status(), Message(MessageId::Pin2NotVerifiedNothingWritten, 0));
        QCOMPARE(rig->FileRecords(kFixedDialling), before);
        QVERIFY(window->cardSideModified());

        WriteWithPin2(QString::fromLatin1(kDemoPin2));
        QVERIFY(!window->cardSideModified());
        const auto after = rig->FileRecords(kFixedDialling);
        QCOMPARE(DecodePhoneBookRecord(after[1]).name, std::string("Doctor"));
        QCOMPARE(after[0], before[0]);  // untouched, sent back as read

        for (int attempt = 0; attempt < 3; ++attempt)
            QVERIFY(!rig->engine().VerifyPin(2, "0000").IsDone());
        TypeOver(window, kSim, 1, 1, QStringLiteral("Nurse"));
        WriteWithPin2(QString());
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::Pin2BlockedNothingWritten);
        QCOMPARE(rig->FileRecords(kFixedDialling), after);
    }

    // Edits the card list holds unwritten are asked about before another file replaces them:
    // Cancel keeps the list and the selector, No drops them and shows the own numbers, in the
    // file's two slots. The history cannot bring the other file's records back into these slots,
    // and the phone book comes back with all its slots.
    void asksAboutUnwrittenEditsBeforeSwitching() {
        ReadWith("readButton");
        TypeOver(window, kSim, 1, 1, QStringLiteral("changed"));
        rig->dialogs.QueueAnswer(DialogAnswer::Cancel);
        Pick(CardRecordFile::OwnNumbers);
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::CardEditsNotWrittenQuestion);
        QCOMPARE(window->shownCardFile(), CardRecordFile::PhoneBook);
        QCOMPARE(Sim().Text(1, 1), QStringLiteral("changed"));

        rig->dialogs.QueueAnswer(DialogAnswer::No);
        Pick(CardRecordFile::OwnNumbers);
        QCOMPARE(window->shownCardFile(), CardRecordFile::OwnNumbers);
        QCOMPARE(Sim().Text(1, 2), QStringLiteral("+447700900123"));
        QCOMPARE(Sim().LastSlot(), 2);
        QVERIFY(!window->undoStack()->canUndo());
        Pick(CardRecordFile::PhoneBook);
        QCOMPARE(Sim().LastSlot(), RecordWindow::kSlotCapacity);
    }

    // A card without fixed dialling numbers: the read says so, and the list stays with the phone
    // book.
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
        QCOMPARE(Sim().Text(1, 1), firstName);
    }
};

QTEST_MAIN(DiallingFilesWindowTest)
#include "dialling_files_window_test.moc"
