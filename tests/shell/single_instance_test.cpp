// The running copy and a later start in one process: the later start is refused the lock,
// hands its files over and gets an answer; the running copy's window comes forward. (The two
// processes of the program itself meet in program_test.)
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <thread>

#include "shell/single_instance.h"

using namespace pellucard;

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(runtime_.isValid());
        // The lock and the socket in a folder of this test's own.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }

    void aLaterStartBringsTheWindowForwardWithItsFiles() {
        SingleInstance running;
        QCOMPARE(running.acquire(), SingleInstance::Outcome::Acquired);
        QWidget window;
        window.showMinimized();
        QStringList received;
        connect(&running, &SingleInstance::activationRequested, &window,
                [&](const QStringList& files) {
                    received = files;
                    bringForward(window);
                });

        SingleInstance later;
        QCOMPARE(later.acquire(), SingleInstance::Outcome::HeldByAnother);
        const QStringList files = {QStringLiteral("/home/ann/messages.sms"),
                                   QStringLiteral("/home/ann/Ünïcode contacts.SPB")};
        bool handedOver = false;
        QString error;
        // The later start waits for the answer, which the running copy gives from its event
        // loop: the two run side by side.
        std::thread start([&] { handedOver = later.handOver(files, error); });
        QTRY_COMPARE(received, files);
        start.join();
        QVERIFY2(handedOver, qPrintable(error));
        QTRY_VERIFY(!(window.windowState() & Qt::WindowMinimized));
        QVERIFY(window.isVisible());
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    // A copy that holds the lock but does not answer (it hangs) leaves the later start with a
    // reason after its time, instead of waiting for ever.
    void aSilentCopyIsReportedNotWaitedFor() {
        SingleInstance running;
        QCOMPARE(running.acquire(), SingleInstance::Outcome::Acquired);
        SingleInstance later;
        QCOMPARE(later.acquire(), SingleInstance::Outcome::HeldByAnother);
        QString error;
        // This thread does not run the event loop meanwhile: the running copy is "hung".
        QVERIFY(!later.handOver({}, error, 300));
        QVERIFY(!error.isEmpty());
    }

private:
    QTemporaryDir runtime_;
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
