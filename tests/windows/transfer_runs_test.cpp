// The transfer runs on the instant virtual reader with the demo card, without a window.
#include <QDate>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "engine/pellucard.h"
#include "engine/sms_record.h"
#include "records/record_list.h"
#include "support/scripted_dialogs.h"
#include "support/window_rig.h"
#include "windows/record_columns.h"
#include "windows/sms_fields.h"
#include "windows/transfer_runs.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

class RecordingProgress final : public TransferProgress {
public:
    void setMaximum(int maximum) override { this->maximum = maximum; }
    void setValue(int value) override { this->value = value; }
    void setStatus(const QString& text) override { status = text; }
    void yield() override {
        ++yields;
        if (onYield)
            onYield(yields);
    }
    int maximum = 0;
    int value = 0;
    int yields = 0;
    QString status;
    std::function<void(int)> onYield;
};

}  // namespace

class TransferRunsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowRig> rig;
    RecordingProgress progress;
    CardRecordStore store;

    TransferRun newRun() { return TransferRun{rig->engine(), progress, store, 0}; }
    int ThisYear() const { return QDate::currentDate().year(); }

private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->IdentifyCard();
        QVERIFY(rig->engine().VerifyPin(1, "1234").IsDone());
        progress = RecordingProgress{};
        store.clear();
    }
    void cleanup() { rig.reset(); }

    // GSM 03.40 relative validity: 5 minute steps to 12 hours, 30 minute steps to 24 hours,
    // days to 30, then weeks; values outside the byte have no text.
    void validityTexts() {
        const QList<std::pair<int, QString>> texts = {{0, "5Minutes"}, {29, "2Hour 30Minutes"},
                                                      {143, "12Hour"}, {144, "12Hour 30Minutes"},
                                                      {167, "24Hour"}, {170, "4Day"},
                                                      {173, "1Week"},  {175, "1Week 2Day"},
                                                      {255, "63Week"}, {256, ""},
                                                      {-1, ""}};
        for (const auto& [value, text] : texts)
            QCOMPARE(validityText(value, 0), text);
    }

    void statusTextsGoBackToTheirBytes() {
        for (int status : {kSmsRead, kSmsToBeRead, kSmsSent, kSmsToBeSent})
            QCOMPARE(smsStatusByte(QStringLiteral(" ") + smsStatusText(status) + " "), status);
        QCOMPARE(smsStatusByte(QStringLiteral("read")), kStatusNotAMessage);
    }

    // The card goes during the yield after record 7: the write of record 8 finds it gone.
    void pulledCardStopsTheWrite_data() {
        QTest::addColumn<bool>("sms");
        QTest::newRow("phone book") << false;
        QTest::newRow("SMS") << true;
    }
    void pulledCardStopsTheWrite() {
        QFETCH(bool, sms);
        const int records = sms ? 30 : 250;
        RecordList list(257, sms ? sms_column::kCount : phone_column::kCount);
        TransferRun run = newRun();
        int done = 0;
        QVERIFY(sms ? readSms(run, list, records, done, ThisYear())
                    : readPhoneBook(run, list, records, done));
        for (int row = 1; sms && row <= records; ++row)
            list.SetTag(row, 0);  // every message encoded anew
        progress.onYield = [this, records](int yields) {
            if (yields == records + 7)
                rig->Reader().RemoveCard();
        };
        QVERIFY(!(sms ? writeSms(run, list, records, 11) : writePhoneBook(run, list, records, 20)));
        QCOMPARE(progress.status, Message(MessageId::DownLoadingProblem, 0) + "8");
        QCOMPARE(progress.value, 7);
    }

    void smsWrittenBackByteForByte() {
        Pellucard& engine = rig->engine();
        const auto before = cardRecords(engine, CardBook::Sms);
        RecordList list(257, sms_column::kCount);
        TransferRun run = newRun();
        int done = 0;
        QVERIFY(readSms(run, list, 30, done, ThisYear()));
        QVERIFY(writeSms(run, list, 30, 11));
        QCOMPARE(cardRecords(engine, CardBook::Sms), before);
    }

    // A text the card cannot hold whole is never cut without asking.
    void tooLongTextIsNamedBeforeWriting() {
        Pellucard& engine = rig->engine();
        RecordList list(257, sms_column::kCount);
        TransferRun run = newRun();
        int done = 0;
        QVERIFY(readSms(run, list, 30, done, ThisYear()));
        const auto before = cardRecords(engine, CardBook::Sms);
        list.SetText(3, sms_column::kText, QString(200, QLatin1Char('a')));
        list.SetText(3, sms_column::kStatus, QStringLiteral("To Be Send"));
        list.SetText(3, sms_column::kValidity, QStringLiteral("167"));
        list.SetText(12, sms_column::kText, QString(71, QChar(0x03C9)));
        list.SetText(12, sms_column::kStatus, QStringLiteral("To Be Send"));
        QCOMPARE(smsSlotsToBeCut(list, 30, store, 176), (QList<int>{3, 12}));

        rig->dialogs.QueueAnswer(DialogAnswer::No);
        QVERIFY(!writeSms(run, list, 30, 12));
        QCOMPARE(rig->dialogs.LastMessage().messageId, MessageId::MessagesCutQuestion);
        QCOMPARE(cardRecords(engine, CardBook::Sms), before);

        rig->dialogs.QueueAnswer(DialogAnswer::Yes);
        QVERIFY(writeSms(run, list, 30, 12));
        const auto after = cardRecords(engine, CardBook::Sms);
        QCOMPARE(QString::fromStdString(DecodeSmsRecord(after[2]).text), QString(160, 'a'));
        QCOMPARE(QString::fromStdString(DecodeSmsRecord(after[11]).text),
                 QString(70, QChar(0x03C9)));
    }
};

QTEST_MAIN(TransferRunsTest)
#include "transfer_runs_test.moc"
