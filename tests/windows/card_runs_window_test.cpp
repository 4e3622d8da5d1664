// The record windows' card runs on the instant virtual reader when things go wrong: a card that
// refuses records, slots a run never read, and the user's stop.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "engine/phonebook_entry.h"
#include "simulator/virtual_sim_card.h"
#include "support/window_rig.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/record_list_model.h"
#include "windows/sms_window.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

constexpr char kPhoneBook[] = "3F00/7F10/6F3A";

}  // namespace

class CardRunsWindowTest : public QObject, RecordWindowFixture<PhoneBookWindow> {
    Q_OBJECT

private:
    SmsWindow* messages = nullptr;

    using RecordWindowFixture::Button;
    QPushButton* Button(QWidget* owner, const char* name) {
        return owner->findChild<QPushButton*>(name);
    }
    QString Status() { return window->findChild<QLabel*>("lastReadLabel")->text(); }
    static QString Written(int records) {
        return Message(MessageId::RecordsWrittenToCard, 0).arg(records);
    }
    VirtualSimCard& Card() { return rig->Card(); }
    std::vector<Bytes> CardPhoneBook() {
        std::vector<Bytes> records;
        const CardImage image = Card().ToImage();
        for (const auto& record : image.FindFile(kPhoneBook)->records)
            records.push_back(record.data);
        return records;
    }
    // Runs `action` once, when the window's progress reaches `record`.
    void AtRecord(int record, std::function<void()> action) {
        auto* bar = window->findChild<QProgressBar*>("progressBar");
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = connect(bar, &QProgressBar::valueChanged, window, [=](int value) {
            if (value == record) {
                disconnect(*connection);
                action();
            }
        });
    }
    void Read() { ReadWith("readButton"); }
    void Write() {
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // "Do you want to save it to SIM ?"
        Button(window, "writeButton")->click();
    }
    // Every slot as the user typed it: the write run sends each.
    void TypeEverySlot(const QString& name) {
        for (int row = 1; row <= 250; ++row) {
            Sim().SetText(row, phone_column::kName, name + QString::number(row));
            Sim().SetText(row, phone_column::kNumber, QStringLiteral("123"));
            Sim().SetTag(row, 0);
        }
    }

private slots:
    void init() {
        QVERIFY(Open());
        messages = new SmsWindow(*rig);
    }
    void cleanup() {
        delete messages;
        messages = nullptr;
        Close();
    }

    // A refused read; a refused write ends in the same words (transfer_runs.cpp's refusedText)
    // and the engine's run tests hold where it stops.
    void refusedReadIsNeverAnEmptySlotToWrite() {
        Card().AddRefusal({kPhoneBook, CardRefusal::Command::Read, 2, 0x9804});
        const auto before = CardPhoneBook();
        Read();
        QCOMPARE(Status(), QStringLiteral("The card refused record 2 (status 98 04: access "
                                          "condition not fulfilled)"));
        QCOMPARE(Sim().Tag(2), kUnknownSlotTag);
        Write();
        QCOMPARE(Status(), Written(1) + Message(MessageId::SlotsLeftOnCard, 0).arg(249));
        QCOMPARE(CardPhoneBook(), before);
    }

    void slotNeverReadIsShownSoAndAskedBeforeItIsWritten() {
        // A contact far down the card that a stopped read never reaches.
        Pellucard& engine = rig->engine();
        QVERIFY(engine.VerifyPin(1, "1234").IsDone());
        QVERIFY(engine.EnterPhoneBook().IsDone());
        QVERIFY(engine
                    .WritePhoneBookRecord(
                        100, EncodePhoneBookRecord("5551234", "Unseen", 28, AlphaForm::Ucs2))
                    .IsDone());
        rig->IdentifyCard();
        AtRecord(30, [this] { Button(window, "stopButton")->click(); });
        Read();
        // Not read is not empty: shown so, and neither text nor a record of the list.
        const QModelIndex shown = window->model(kSim)->IndexOf(100, phone_column::kName);
        QCOMPARE(shown.data().toString(), Message(MessageId::NotReadFromCard, 0));
        QCOMPARE(Sim().Text(100, phone_column::kName), QString());
        QVERIFY(window->usedCount(kSim) <= 30);

        // Typed into: writing asks first, and No leaves the card's contact there.
        Sim().SetText(100, phone_column::kName, QStringLiteral("typed"));
        Sim().SetTag(100, 0);
        Sim().SetText(5, phone_column::kName, QStringLiteral("edited"));
        Sim().SetTag(5, 0);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // "Do you want to save it to SIM ?"
        rig->dialogs.QueueAnswer(DialogAnswer::No);   // slot 100 was never read
        Button(window, "writeButton")->click();
        QCOMPARE(rig->dialogs.MessageIds().last(), MessageId::WriteOverUnreadQuestion);
        QCOMPARE(DecodePhoneBookRecord(CardPhoneBook()[99]).name, std::string("Unseen"));
        QCOMPARE(DecodePhoneBookRecord(CardPhoneBook()[4]).name, std::string("edited"));
        QCOMPARE(Status(), Written(30) + Message(MessageId::SlotsLeftOnCard, 0).arg(220));

        // Yes writes it; written, the slot is known and not asked about again.
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        Button(window, "writeButton")->click();
        QCOMPARE(DecodePhoneBookRecord(CardPhoneBook()[99]).name, std::string("typed"));
        rig->dialogs.Clear();
        Write();
        QCOMPARE(rig->dialogs.MessageIds(), MessageIdList{MessageId::SaveToSimQuestion});
    }

    void stopEndsTheRunAfterTheRecordInHand() {
        TypeEverySlot(QStringLiteral("typed "));
        const auto before = CardPhoneBook();
        AtRecord(40, [this] {
            // After the write's question the focus is anywhere: here, in another window, which
            // does not know the run.
            messages->show();
            auto* elsewhere = messages->findChild<QLineEdit*>("findBox_0");
            elsewhere->setFocus();
            QTest::keyClick(elsewhere, Qt::Key_Escape);
        });
        rig->dialogs.QueueAnswer(DialogAnswer::Yes);  // also over the slots never read
        rig->AnswerVerifyPin();
        Write();
        QCOMPARE(Status(), Message(MessageId::WriteStopped, 0).arg(40).arg(40));
        const auto after = CardPhoneBook();
        QCOMPARE(DecodePhoneBookRecord(after[39]).name, std::string("typed 40"));
        QCOMPARE(after[40], before[40]);
    }
};

QTEST_MAIN(CardRunsWindowTest)
#include "card_runs_window_test.moc"
