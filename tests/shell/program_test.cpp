// The program as a desktop starts it: one copy per user, a second start that brings the first
// forward with the files it names, help without a display, a clean start on the offscreen
// platform.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

namespace {

// An environment of its own for each test: the offscreen platform and a private runtime folder
// (where the lock lives), so that tests neither see a running copy nor leave one behind, and
// neither read nor write the user's settings.
QProcessEnvironment Environment(const QTemporaryDir& runtime) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    // Settings and application data of its own too: never the user's.
    environment.insert("XDG_CONFIG_HOME", runtime.path());
    environment.insert("XDG_DATA_HOME", runtime.path());
    return environment;
}

void Start(QProcess& process, const QTemporaryDir& runtime, const QStringList& arguments) {
    process.setProcessEnvironment(Environment(runtime));
    process.start(QStringLiteral(PELLUCARD_PROGRAM), arguments);
    QVERIFY(process.waitForStarted(5000));
}

// The program's settings as stored under `runtime` (the recent files among them).
QByteArray StoredSettings(const QTemporaryDir& runtime) {
    QByteArray all;
    QDirIterator files(runtime.path(), {"*.conf"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll();
    }
    return all;
}

void Stop(QProcess& process) {
    process.kill();
    process.waitForFinished(5000);
}

// What the program said on its error stream, less the offscreen platform's own notes.
QString OwnErrors(QProcess& process) {
    QStringList lines = QString::fromLocal8Bit(process.readAllStandardError()).split('\n');
    lines.removeIf([](const QString& line) {
        return line.trimmed().isEmpty() || line.contains("This plugin does not support");
    });
    return lines.join('\n');
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void secondStartEndsSilentlyAndHandsOverAFile();
    void lockOfACrashedCopyIsTakenOver();
    void helpAndBadOptionsEndAtOnce();
};

// A second start ends silently with 0; one that names a file hands it to the running copy,
// which opens it in its SMS window (the window the recent files then name: 5).
void ProgramTest::secondStartEndsSilentlyAndHandsOverAFile() {
    QTemporaryDir runtime;
    QProcess first;
    Start(first, runtime, {"--demo"});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QDir(runtime.path()).filePath("pellucard.socket")),
                             10000);
    QFile messages(QDir(runtime.path()).filePath("handed over.sms"));
    QVERIFY(messages.open(QIODevice::WriteOnly));  // an empty SMS file
    messages.close();

    for (const QStringList& arguments :
         {QStringList{"--demo"}, QStringList{"--demo", "handed over.sms"}}) {
        QProcess second;
        second.setWorkingDirectory(runtime.path());
        Start(second, runtime, arguments);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardOutput().isEmpty());
        QCOMPARE(OwnErrors(second), QString());
    }

    QTRY_VERIFY_WITH_TIMEOUT(StoredSettings(runtime).contains("handed over.sms"), 10000);
    const QByteArray settings = StoredSettings(runtime);
    QVERIFY2(settings.contains("window=5"), settings.constData());
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(OwnErrors(first), QString());
    Stop(first);
}

void ProgramTest::lockOfACrashedCopyIsTakenOver() {
    QTemporaryDir runtime;
    QProcess crashed;
    Start(crashed, runtime, {"--demo"});
    const QString lock = QDir(runtime.path()).filePath("pellucard.lock");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 10000);
    Stop(crashed);  // killed: the lock file stays behind
    QVERIFY(QFile::exists(lock));

    QProcess next;
    Start(next, runtime, {"--demo"});
    QVERIFY(!next.waitForFinished(1500));
    QCOMPARE(next.state(), QProcess::Running);
    Stop(next);
}

// Help needs no display; a bad option is refused with 2, naming it, and takes no lock.
void ProgramTest::helpAndBadOptionsEndAtOnce() {
    QTemporaryDir runtime;
    QProcess help;
    QProcessEnvironment environment = Environment(runtime);
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    help.setProcessEnvironment(environment);
    help.start(QStringLiteral(PELLUCARD_PROGRAM), {"--help"});
    QVERIFY(help.waitForFinished(10000));
    QCOMPARE(help.exitCode(), 0);
    QVERIFY(help.readAllStandardOutput().startsWith("usage: pellucard"));

    QProcess bad;
    Start(bad, runtime, {"--reader", "nowhere"});
    QVERIFY(bad.waitForFinished(10000));
    QCOMPARE(bad.exitCode(), 2);
    QVERIFY(bad.readAllStandardError().contains("nowhere"));
    QVERIFY(!QFile::exists(QDir(runtime.path()).filePath("pellucard.lock")));
}

QTEST_GUILESS_MAIN(ProgramTest)
#include "program_test.moc"
