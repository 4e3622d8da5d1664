// Copy SIM Card on the information window: the demo card copied onto another virtual card with
// the one virtual reader, the cards changed while the program asks for it.
#include <QLineEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "engine/card_backup.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

constexpr char kOtherIccid[] = "8988200000987654321";

// What a person does with the cards while a message box waits for them: the action queued for
// a message runs when that message shows, before the scripted answer is given.
class CardHands final : public DialogSeam {
public:
    explicit CardHands(ScriptedDialogs& script) : script_(script) {
        previous_ = InstallDialogs(this);
    }
    ~CardHands() override { InstallDialogs(previous_); }

    void When(MessageId id, std::function<void()> action) { actions_.append({id, action}); }

    DialogAnswer ShowMessage(const MessageRequest& request) override {
        if (!actions_.isEmpty() && request.messageId == actions_.first().first)
            actions_.takeFirst().second();
        return script_.ShowMessage(request);
    }
    QString ChooseOpenFileName(const FileRequest& request) override {
        return script_.ChooseOpenFileName(request);
    }
    QString ChooseSaveFileName(const FileRequest& request) override {
        return script_.ChooseSaveFileName(request);
    }
    void RunModal(QDialog& dialog) override { script_.RunModal(dialog); }

private:
    ScriptedDialogs& script_;
    DialogSeam* previous_ = nullptr;
    QList<QPair<MessageId, std::function<void()>>> actions_;
};

struct CardContent {
    std::vector<Bytes> phoneBook;
    std::vector<Bytes> sms;
    bool operator==(const CardContent&) const = default;
};

CardContent contentOf(Pellucard& engine) {
    return {cardRecords(engine, CardBook::PhoneBook), cardRecords(engine, CardBook::Sms)};
}

// Another card with PIN1 on (1234, as the demo card), every record blank.
std::shared_ptr<VirtualSimCard> blankOtherCard() {
    return OtherCard([](CardImage& image) {
        for (const char* path : {"3F00/7F10/6F3A", "3F00/7F10/6F3C"}) {
            CardFile* file = image.FindFile(path);
            for (CardRecord& record : file->records)
                record.data = Bytes(file->recordLength, 0xFF);
        }
    });
}

// A card with room for 15 names of 8 bytes and 10 messages, PIN1 off.
std::shared_ptr<VirtualSimCard> smallOtherCard() {
    return OtherCard([](CardImage& image) {
        CardFile* book = image.FindFile("3F00/7F10/6F3A");
        book->recordLength = 22;
        book->emptyRecord = Bytes(22, 0xFF);
        book->records.assign(15, CardRecord{Bytes(22, 0xFF), {}});
        image.FindFile("3F00/7F10/6F3C")->records.resize(10);
        image.chv1Enabled = false;
    });
}

}  // namespace

class CardCopyTest : public QObject {
    Q_OBJECT

private:
    // The demo card identified and open, its content as it was read.
    void start(ShellRig& rig) {
        rig.TickUntilIdentified();
        QVERIFY(rig.engine().VerifyPin(1, kDemoPin1).IsDone());
        rig.ChangeInfo([](CardInfo& info) { info.Pin1Open = true; });
        source_ = contentOf(rig.engine());
        sourceImage_ = rig.Card().ToImage();
    }
    // Takes the demo card out and puts `card` in when the program asks for the other card.
    void swapTo(ShellRig& rig, CardHands& hands, std::shared_ptr<VirtualSimCard> card) {
        hands.When(MessageId::CopyChangeCards, [&rig, card] {
            rig.Reader().RemoveCard();
            rig.Reader().InsertCard(card);
        });
        rig.dialogs.QueueAnswer(DialogAnswer::Ok);
    }
    void copy(ShellRig& rig) {
        QPushButton* button = rig.cardInfoWindow()->copyCardButton;
        QVERIFY(button->isEnabled());
        button->click();
    }
    // Calls `action` once, as soon as the writing has come to record `done`.
    void whileWriting(ShellRig& rig, int done, std::function<void()> action) {
        auto* timer = new QTimer(rig.main.get());  // goes with the window
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [&rig, timer, done, action] {
            auto* progress = rig.main->findChild<QProgressDialog*>("CardRunProgress");
            if (!progress || !progress->labelText().startsWith("Down Loading") ||
                progress->value() < done)
                return;
            timer->stop();
            action();
        });
        timer->start();
    }
    // The source card was never written to.
    void sourceUntouched(ShellRig& rig) {
        QVERIFY(rig.session->reader().virtualCard->ToImage() == sourceImage_);
    }

    CardContent source_;
    CardImage sourceImage_;

private slots:
    // A blank card with PIN1 on: the PIN is asked for, then every record of both files is
    // written and reads back as on the demo card.
    void copiesOntoAnotherCardByteForByte() {
        ShellRig rig;
        start(rig);
        CardHands hands(rig.dialogs);
        swapTo(rig, hands, blankOtherCard());
        rig.AnswerVerifyPin();
        copy(rig);

        QCOMPARE(rig.dialogs.MessageIds(),
                 (MessageIdList{MessageId::CopyChangeCards, MessageId::CardCopied}));
        const MessageRequest& done = rig.dialogs.LastMessage();
        QVERIFY2(done.text.startsWith("280 of 280 records were copied onto card " +
                                      QString(kOtherIccid)),
                 qPrintable(done.text));
        QCOMPARE(cardIdText(rig.Info()), QString(kOtherIccid));
        QVERIFY(contentOf(rig.engine()) == source_);
        sourceUntouched(rig);
    }

    // Fewer and shorter records: what is left out is named and what is cut is shown before
    // anything is written; No writes nothing, Yes copies the rest.
    void smallerCardSaysWhatDoesNotFit() {
        ShellRig rig;
        start(rig);
        auto small = smallOtherCard();
        QVERIFY(small != nullptr);
        {
            CardHands hands(rig.dialogs);
            swapTo(rig, hands, small);
            rig.dialogs.QueueAnswer(DialogAnswer::No);
            copy(rig);
        }
        const MessageRequest question = rig.dialogs.LastMessage();
        QCOMPARE(question.messageId, MessageId::CopyDoesNotFit);
        QVERIFY(question.noByDefault);
        for (const char* line :
             {"SIM Card Phone Book 16: Info@Pellucard, +3225551234",
              "SIM Card SMS 11: +447700900123",
              "SIM Card Phone Book 1: Alice Martin, +441632960123 → Alice Ma", "the 8 bytes"})
            QVERIFY2(question.text.contains(QString::fromUtf8(line)), qPrintable(question.text));
        QVERIFY(!question.text.contains("Phone Book 3:"));  // an empty record is no loss
        const CardContent untouched = contentOf(rig.engine());
        QVERIFY(untouched.phoneBook == std::vector<Bytes>(15, Bytes(22, 0xFF)));

        // The demo card back in, and again with Yes.
        rig.Reader().RemoveCard();
        rig.Reader().InsertCard(rig.session->reader().virtualCard);
        for (int look = 0; look < 3; ++look)
            rig.Tick();
        start(rig);
        CardHands hands(rig.dialogs);
        swapTo(rig, hands, small);
        rig.dialogs.QueueAnswer(DialogAnswer::Yes);
        copy(rig);
        QCOMPARE(rig.dialogs.LastMessage().messageId, MessageId::CardCopied);
        const CardContent copied = contentOf(rig.engine());
        for (std::size_t record = 0; record < 15; ++record)
            QCOMPARE(copied.phoneBook[record],
                     PhoneBookRecordForLength(source_.phoneBook[record], 22));
        QVERIFY(std::equal(copied.sms.begin(), copied.sms.end(), source_.sms.begin()));
        sourceUntouched(rig);
    }

    // Stop while writing: the records before it are on the other card, those after it as they
    // were, and the report says where it ended.
    void stopWhileWriting() {
        ShellRig rig;
        start(rig);
        CardHands hands(rig.dialogs);
        swapTo(rig, hands, blankOtherCard());
        rig.AnswerVerifyPin();
        whileWriting(rig, 40, [&rig] { rig.session->gate().requestStop(); });
        copy(rig);

        const MessageRequest& report = rig.dialogs.LastMessage();
        QCOMPARE(report.messageId, MessageId::CardCopied);
        QVERIFY2(report.text.contains("stopped after record 4"), qPrintable(report.text));
        QVERIFY2(report.text.contains("SIM Card SMS: records 1 to 30 were not written"),
                 qPrintable(report.text));
        const CardContent after = contentOf(rig.engine());
        QCOMPARE(after.phoneBook.front(), source_.phoneBook.front());
        QCOMPARE(after.phoneBook[200], Bytes(28, 0xFF));
        sourceUntouched(rig);
    }

    // Fixed dialling numbers that differ on the other card are written after PIN2 there, asked
    // once; PIN1 stays verified.
    void otherCardsFixedDiallingNumbersAfterPin2() {
        ShellRig rig;
        start(rig);
        auto other = OtherCard([](CardImage& image) {
            image.FindFile("3F00/7F10/6F3B")->records[0].data = Bytes(28, 0xFF);
        });
        CardHands hands(rig.dialogs);
        swapTo(rig, hands, other);
        int pin2Asked = 0;
        rig.dialogs.RunModalWith([&pin2Asked](QDialog& modal) {
            const bool pin2 = modal.findChild<QRadioButton*>("pinOption_1")->isChecked();
            pin2Asked += pin2 ? 1 : 0;
            modal.findChild<QLineEdit*>("codeField")->setText(pin2 ? "5678" : kDemoPin1);
            modal.findChild<QPushButton*>("okButton")->click();
        });
        copy(rig);

        QCOMPARE(pin2Asked, 1);
        QCOMPARE(rig.dialogs.LastMessage().messageId, MessageId::CardCopied);
        QCOMPARE(other->ToImage().FindFile("3F00/7F10/6F3B")->records[0].data,
                 sourceImage_.FindFile("3F00/7F10/6F3B")->records[0].data);
        QCOMPARE(rig.cardInfoWindow()->imsiValue->text(), QString("001010123456789"));
    }
};

QTEST_MAIN(CardCopyTest)
#include "card_copy_test.moc"
