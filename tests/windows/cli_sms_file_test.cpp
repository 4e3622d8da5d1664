// SMS files written by pellucard-cli carry the same part marks as the windows' files: a message
// sent in parts opens joined in the SMS window.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include "support/window_rig.h"
#include "windows/sms_window.h"

using namespace pellucard;
using namespace pellucard::testing;

class CliSmsFileTest : public QObject, RecordWindowFixture<SmsWindow> {
    Q_OBJECT

private:
    // Runs the tool on a copy of the demo card; false, with its words, when it fails.
    bool cli(const QStringList& arguments) {
        const QString image = rig->folder.filePath(QStringLiteral("card.json"));
        if (!QFile::exists(image) && !QFile::copy(QStringLiteral(PELLUCARD_DEMO_CARD), image))
            return false;
        QProcess process;
        process.start(QStringLiteral(PELLUCARD_CLI),
                      QStringList{"--reader", "virtual:" + image, "--pin", "1234"} + arguments);
        if (!process.waitForFinished(20000) || process.exitCode() != 0) {
            qWarning() << process.readAllStandardError();
            return false;
        }
        return true;
    }

    // What the window shows joined after opening `path` in its computer-side list.
    QMap<int, JoinedMessage> openedJoins(const QString& path) {
        window->newFile();
        rig->dialogs.QueueFileName(path);
        window->openFile();
        return window->joinedMessages(kComputer);
    }

private slots:
    void init() { QVERIFY(Open({1400, 800})); }
    void cleanup() { Close(); }

    // Read by the tool into an .sms file, or into JSON and converted: the three parts of the
    // demo card's long message open as the one message the window reads from the card.
    void aJoinedMessageFromTheCardOpensJoined() {
        ReadWith("readButton");
        QCOMPARE(window->joinedMessages(kSim).keys(), QList<int>{9});
        const QString joined = window->joinedMessages(kSim)[9].text;

        const QString direct = rig->folder.filePath(QStringLiteral("direct.sms"));
        QVERIFY(cli({"sms", "read", "-o", direct}));
        QMap<int, JoinedMessage> opened = openedJoins(direct);
        QCOMPARE(opened.keys(), QList<int>{9});
        QCOMPARE(opened[9].text, joined);

        const QString json = rig->folder.filePath(QStringLiteral("sms.json"));
        const QString converted = rig->folder.filePath(QStringLiteral("converted.sms"));
        QVERIFY(cli({"sms", "read", "-o", json}));
        QVERIFY(cli({"convert", json, converted}));
        opened = openedJoins(converted);
        QCOMPARE(opened.keys(), QList<int>{9});
        QCOMPARE(opened[9].text, joined);
        QVERIFY(rig->dialogs.Unexpected().isEmpty());
    }

    // A part whose text was changed in the JSON is no longer that part: no mark, no join.
    void anEditedPartGetsNoMark() {
        const QString json = rig->folder.filePath(QStringLiteral("sms.json"));
        QVERIFY(cli({"sms", "read", "-o", json}));
        QFile file(json);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonArray messages = QJsonDocument::fromJson(file.readAll()).array();
        file.close();
        QJsonObject second = messages[9].toObject();
        QVERIFY(second.contains("concatenation"));
        second["text"] = QStringLiteral("changed");
        messages[9] = second;
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QJsonDocument(messages).toJson());
        file.close();
        const QString converted = rig->folder.filePath(QStringLiteral("edited.sms"));
        QVERIFY(cli({"convert", json, converted}));
        QVERIFY(openedJoins(converted).isEmpty());
        QCOMPARE(window->usedCount(kComputer), 11);
    }
};

QTEST_MAIN(CliSmsFileTest)
#include "cli_sms_file_test.moc"
