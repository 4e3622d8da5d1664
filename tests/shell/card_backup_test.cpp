// The File menu's whole-card backup and restore on the virtual reader.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "engine/card_backup.h"
#include "records/card_backup_file.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

// Every phone book and SMS record as the card holds it now.
CardBackup cardRecords(Pellucard& engine) {
    CardBackup backup;
    const BackupRunResult result = ReadCardBackup(engine, backup);
    if (!result.Ok())
        qWarning("the card could not be read");
    return backup;
}

// Changes every record of both files.
void ChangeEveryRecord(Pellucard& engine) {
    QVERIFY(engine.EnterPhoneBook().IsDone());
    for (int record = 1; record <= engine.PhoneBookRecordCount(); ++record)
        QVERIFY(engine.WritePhoneBookRecord(record, Bytes(28, std::uint8_t(record))).IsDone());
    QVERIFY(engine.EnterSmsFile().IsDone());
    for (int record = 1; record <= engine.SmsRecordCount(); ++record)
        QVERIFY(engine.WriteSmsRecord(record, Bytes(176, 0x00)).IsDone());
}

void Unlock(ShellRig& rig) {
    rig.TickUntilIdentified();
    QVERIFY(rig.engine().VerifyPin(1, "1234").IsDone());
    rig.ChangeInfo([](CardInfo& info) { info.Pin1Open = true; });  // as after the PIN dialog
}

// The demo card unlocked and backed up through the File menu; gives the backup's path.
QString BackUp(ShellRig& rig, const QTemporaryDir& dir) {
    Unlock(rig);
    const QString path = dir.filePath("card.json");
    rig.dialogs.QueueFileName(path);
    rig.Action("backupAction")->trigger();
    return path;
}

// Another card in place of the one in the reader, identified as the polling does it.
void SwapCard(ShellRig& rig, const std::shared_ptr<VirtualSimCard>& card) {
    rig.Reader().RemoveCard();
    rig.Tick();
    rig.Reader().InsertCard(card);
    rig.TickUntilIdentified();
}

// Restores `path` through the File menu, answering the questions in turn.
void Restore(ShellRig& rig, const QString& path, std::initializer_list<DialogAnswer> answers) {
    rig.dialogs.QueueFileName(path);
    for (DialogAnswer answer : answers)
        rig.dialogs.QueueAnswer(answer);
    rig.Action("restoreAction")->trigger();
}

}  // namespace

class CardBackupTest : public QObject {
    Q_OBJECT

private slots:
    void backupThenRestoreGivesBackEveryRecord();
    void damagedBackupWritesNothing();
    void smallerRefusingOtherCardIsNamedAndAskedAbout();
};

void CardBackupTest::backupThenRestoreGivesBackEveryRecord() {
    ShellRig rig;
    QTemporaryDir dir;
    const QString path = BackUp(rig, dir);
    QCOMPARE(rig.dialogs.MessageIds(), MessageIdList{MessageId::CardBackedUp});
    const CardBackup before = cardRecords(rig.engine());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    CardBackup saved;
    QString error;
    QVERIFY2(ParseCardBackup(file.readAll(), saved, error), qPrintable(error));
    QCOMPARE(saved.phoneBook, before.phoneBook);
    QCOMPARE(saved.sms, before.sms);

    ChangeEveryRecord(rig.engine());
    QVERIFY(cardRecords(rig.engine()).phoneBook != before.phoneBook);

    // No to the question writes nothing.
    Restore(rig, path, {DialogAnswer::No});
    QVERIFY(cardRecords(rig.engine()).phoneBook != before.phoneBook);

    Restore(rig, path, {DialogAnswer::Yes});
    QCOMPARE(rig.dialogs.MessageIds(),
             (MessageIdList{MessageId::CardBackedUp, MessageId::RestoreQuestion,
                            MessageId::RestoreQuestion, MessageId::CardRestored}));
    const CardBackup after = cardRecords(rig.engine());
    QCOMPARE(after.phoneBook, before.phoneBook);
    QCOMPARE(after.sms, before.sms);
}

void CardBackupTest::damagedBackupWritesNothing() {
    ShellRig rig;
    QTemporaryDir dir;
    const QString path = BackUp(rig, dir);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray whole = file.readAll();
    ChangeEveryRecord(rig.engine());
    const CardBackup changed = cardRecords(rig.engine());

    for (const QByteArray& damaged :
         {whole.left(whole.size() / 2),
          QByteArray(whole).replace("\"record\": 7,", "\"record\": 9,"),
          QByteArray("{\"format\": \"something else\"}"), QByteArray()}) {
        QFile::remove(path);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(damaged);
        out.close();
        Restore(rig, path, {});
        QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::DamagedBackup);
    }
    QCOMPARE(cardRecords(rig.engine()).phoneBook, changed.phoneBook);
    QCOMPARE(cardRecords(rig.engine()).sms, changed.sms);
}

// Another card, smaller and refusing its SMS store to all but the issuer: both are asked about
// or named, and what went in is said as written.
void CardBackupTest::smallerRefusingOtherCardIsNamedAndAskedAbout() {
    ShellRig rig;
    QTemporaryDir dir;
    const QString path = BackUp(rig, dir);
    const CardBackup before = cardRecords(rig.engine());

    auto other = OtherCard([](CardImage& image) {
        image.FindFile("3F00/7F10/6F3A")->records.resize(100);
        image.FindFile("3F00/7F10/6F3C")->access.update = access_level::kAdm;
        image.chv1Enabled = false;
    });
    QVERIFY(other != nullptr);
    SwapCard(rig, other);

    Restore(rig, path, {DialogAnswer::Yes, DialogAnswer::Yes, DialogAnswer::Yes});
    const MessageIdList ids = rig.dialogs.MessageIds();
    QCOMPARE(ids.mid(ids.size() - 4),
             (MessageIdList{MessageId::RestoreQuestion, MessageId::OtherCardQuestion,
                            MessageId::FewerRecordsQuestion, MessageId::CardRestored}));
    QVERIFY(rig.dialogs.Calls()[rig.dialogs.Calls().size() - 2].message.text.contains("150"));
    const MessageRequest outcome = rig.dialogs.Calls().last().message;
    QCOMPARE(outcome.text, QStringLiteral("SIM Card Phone Book: records 1 to 100 were written\n"
                                          "SIM Card SMS: record 1 was refused (status 98 04: "
                                          "access condition not fulfilled); records 2 to 30 "
                                          "were not written"));
    const CardBackup after = cardRecords(rig.engine());
    QCOMPARE(after.phoneBook.size(), std::size_t(100));
    for (std::size_t record = 0; record < 100; ++record)
        QCOMPARE(after.phoneBook[record], before.phoneBook[record]);
}

QTEST_MAIN(CardBackupTest)
#include "card_backup_test.moc"
