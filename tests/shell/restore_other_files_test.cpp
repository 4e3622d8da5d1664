// The File menu's restore writes the other files of the backup too: the fixed dialling numbers
// only after PIN2, the others whatever became of PIN2.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "engine/card_backup.h"
#include "records/card_backup_file.h"
#include "support/window_rig.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

// A digit byte of the number in a 28-byte dialling number record.
constexpr std::size_t kChangedByte = 16;

// A backup of the demo card whose first fixed dialling number and own number differ from the
// card's; gives its path.
QString backupWithOtherNumbers(ShellRig& rig, const QTemporaryDir& dir) {
    rig.TickUntilIdentified();
    if (!rig.engine().VerifyPin(1, kDemoPin1).IsDone())
        return {};
    rig.ChangeInfo([](CardInfo& info) { info.Pin1Open = true; });
    CardBackup backup;
    if (!ReadCardBackup(rig.engine(), backup).Ok())
        return {};
    for (BackupFile& file : backup.otherFiles) {
        if (file.file == CardRecordFile::FixedDialling || file.file == CardRecordFile::OwnNumbers)
            file.records[0][kChangedByte] ^= 0x11;
    }
    const QString path = dir.filePath("card.json");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(SerializeCardBackup(backup)) < 0)
        return {};
    return path;
}

// Restores `path` (Yes to the question), answering the PIN2 dialog, shown once, with `pin2`.
void restore(ShellRig& rig, const QString& path, const QString& pin2) {
    rig.dialogs.QueueFileName(path);
    rig.dialogs.QueueAnswer(DialogAnswer::Yes);
    rig.AnswerVerifyPin(pin2);
    rig.Action("restoreAction")->trigger();
}

// The card read again after a restore is the same card, PIN1 verified as before: the
// information window shows its own data, and no PIN1 code was sent again.
bool pin1StillOpen(ShellRig& rig) {
    return rig.Info().Pin1Open && rig.Info().Pin1Attempts == 3 &&
           rig.cardInfoWindow()->imsiValue->text() == "001010123456789";
}

QString line(MessageId id, CardRecordFile file) {
    const MessageId title = file == CardRecordFile::FixedDialling ? MessageId::FixedDiallingFile
                                                                  : MessageId::OwnNumbersFile;
    return Message(id, 0).arg(Message(title, 0));
}

}  // namespace

class RestoreOtherFilesTest : public QObject {
    Q_OBJECT

private slots:
    // A wrong PIN2 is told with the attempts left and not tried again: the fixed dialling
    // numbers stay as they were, the own numbers are written all the same, and the report says
    // why. Restored again with PIN2, the fixed dialling numbers are written too
    // (the own numbers, the same now, are not). PIN1 stays verified throughout.
    void fixedDiallingNumbersOnlyWithPin2();
};

void RestoreOtherFilesTest::fixedDiallingNumbersOnlyWithPin2() {
    ShellRig rig;
    QTemporaryDir dir;
    const QString path = backupWithOtherNumbers(rig, dir);
    QVERIFY(!path.isEmpty());
    std::vector<Bytes> fdn = rig.FileRecords("3F00/7F10/6F3B");
    std::vector<Bytes> own = rig.FileRecords("3F00/7F10/6F40");
    const std::vector<Bytes> fdnBefore = fdn;
    fdn[0][kChangedByte] ^= 0x11;
    own[0][kChangedByte] ^= 0x11;

    restore(rig, path, "0000");
    const MessageIdList ids = rig.dialogs.MessageIds();
    QCOMPARE(ids.last(), MessageId::CardRestored);
    QVERIFY2(rig.dialogs.LastMessage().text.contains(
                 line(MessageId::OtherFileWrongPin2, CardRecordFile::FixedDialling).arg(2)),
             qPrintable(rig.dialogs.LastMessage().text));
    QCOMPARE(rig.FileRecords("3F00/7F10/6F3B"), fdnBefore);
    QCOMPARE(rig.FileRecords("3F00/7F10/6F40"), own);
    QVERIFY(pin1StillOpen(rig));

    restore(rig, path, "5678");
    QCOMPARE(rig.dialogs.MessageIds().last(), MessageId::CardRestored);
    const QString report = rig.dialogs.LastMessage().text;
    QVERIFY2(
        report.contains(line(MessageId::OtherFileWritten, CardRecordFile::FixedDialling).arg(1)),
        qPrintable(report));
    QCOMPARE(rig.FileRecords("3F00/7F10/6F3B"), fdn);
    QCOMPARE(rig.FileRecords("3F00/7F10/6F40"), own);
    QVERIFY(pin1StillOpen(rig));
}

QTEST_MAIN(RestoreOtherFilesTest)
#include "restore_other_files_test.moc"
