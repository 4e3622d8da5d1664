#include "pcscd_rig.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "platform/card_presence_watch.h"

namespace pellucard::testing {

namespace {

QString FindPcscd() {
    QString found = QStandardPaths::findExecutable(QStringLiteral("pcscd"));
    if (found.isEmpty()) {
        found = QStandardPaths::findExecutable(
            QStringLiteral("pcscd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    }
    return found;
}

QString FindVpcdDriver() {
    for (const char* path : {"/usr/lib/pcsc/drivers/serial/libifdvpcd.so",
                             "/usr/local/lib/pcsc/drivers/serial/libifdvpcd.so",
                             "/usr/lib/x86_64-linux-gnu/pcsc/drivers/serial/libifdvpcd.so"}) {
        if (QFile::exists(QString::fromLatin1(path)))
            return QString::fromLatin1(path);
    }
    return {};
}

// A port nobody listens on now.
std::uint16_t FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    std::uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

}  // namespace

void EndProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

PcscdRig::PcscdRig() = default;

PcscdRig::~PcscdRig() {
    Stop();
}

bool PcscdRig::Start(QString& whyNot) {
    const QString pcscd = FindPcscd();
    const QString driver = FindVpcdDriver();
    if (pcscd.isEmpty()) {
        whyNot = QStringLiteral("pcscd is not installed (Debian package pcscd)");
        return false;
    }
    if (driver.isEmpty()) {
        whyNot =
            QStringLiteral("the vpcd driver is not installed (Debian package vsmartcard-vpcd)");
        return false;
    }
    if (!dir_.isValid()) {
        whyNot = QStringLiteral("no temporary folder");
        return false;
    }
    port_ = FreePort();
    const QString config = dir_.filePath(QStringLiteral("reader.conf.d"));
    QFile::remove(config);
    if (!QDir().mkpath(config)) {
        whyNot = QStringLiteral("cannot create ") + config;
        return false;
    }
    QFile conf(config + QStringLiteral("/vpcd"));
    if (!conf.open(QIODevice::WriteOnly)) {
        whyNot = QStringLiteral("cannot write the reader configuration");
        return false;
    }
    const QString hexPort = QStringLiteral("0x%1").arg(port_, 4, 16, QLatin1Char('0'));
    conf.write(QStringLiteral("FRIENDLYNAME \"Pellucard Test PCD\"\nDEVICENAME /dev/null:%1\n"
                              "LIBPATH %2\nCHANNELID %1\n")
                   .arg(hexPort, driver)
                   .toUtf8());
    conf.close();

    // The socket pcscd serves on, made here and handed over at file descriptor 3. pcsc-lite
    // reads PCSCLITE_CSOCK_NAME once per process, so the path stays the same for all rigs of
    // one test process.
    socket_ = QDir::temp().filePath(
        QStringLiteral("pellucard-pcscd-%1.comm").arg(QCoreApplication::applicationPid()));
    QFile::remove(socket_);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socket_);
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) {
        whyNot = QStringLiteral("socket path too long: ") + socket_;
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0) {
        whyNot = QStringLiteral("cannot listen on ") + socket_ + QStringLiteral(": ") +
                 QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    pcscd_.setStandardOutputFile(dir_.filePath(QStringLiteral("pcscd.log")));
    pcscd_.setProcessChannelMode(QProcess::MergedChannels);
    pcscd_.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral("LISTEN_FDS=1 LISTEN_PID=$$ exec \"$0\" -f -a -c \"$1\" 3<&\"$2\""), pcscd,
         config, QString::number(listener_)});
    const bool started = pcscd_.waitForStarted(5000);
    // pcscd has its own copy now. Ours must go, or a client of a pcscd that died would wait
    // for an answer on a socket nobody serves.
    ::close(listener_);
    listener_ = -1;
    if (!started) {
        whyNot = QStringLiteral("pcscd did not start: ") + pcscd_.errorString();
        return false;
    }
    // pcscd is ready when it answers; it exits at once when it cannot run.
    PcscCardWatch watch;
    qputenv("PCSCLITE_CSOCK_NAME", path);
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (pcscd_.state() == QProcess::NotRunning)
            break;
        watch.CardMayBePresent();
        if (watch.Connected())
            return true;
        QThread::msleep(50);
    }
    QFile log(dir_.filePath(QStringLiteral("pcscd.log")));
    log.open(QIODevice::ReadOnly);
    whyNot = QStringLiteral("pcscd could not start: ") +
             QString::fromLocal8Bit(log.readAll()).trimmed().section(QLatin1Char('\n'), -3);
    Stop();
    return false;
}

void PcscdRig::Stop() {
    EndProcess(pcscd_);
    if (listener_ >= 0)
        ::close(listener_);
    listener_ = -1;
    if (!socket_.isEmpty())
        QFile::remove(socket_);
}

QProcessEnvironment PcscdRig::Environment() const {
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PCSCLITE_CSOCK_NAME"), socket_);
    return environment;
}

bool PcscdRig::WaitForCard(bool present, int timeoutMs) const {
    PcscCardWatch watch(QStringLiteral("Pellucard Test PCD").toStdString());
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (watch.CardMayBePresent() == present)
            return true;
        QThread::msleep(20);
    }
    return false;
}

bool PcscdRig::StartCard(QProcess& simulator, const QString& cli, const QStringList& arguments,
                         QString& whyNot) const {
    simulator.setProcessEnvironment(Environment());
    simulator.setStandardOutputFile(QProcess::nullDevice());
    const QString log = dir_.filePath(QStringLiteral("card.log"));
    simulator.setStandardErrorFile(log, QIODevice::Append);
    simulator.start(cli, QStringList{QStringLiteral("simulate"), QStringLiteral("--pcsc"),
                                     QStringLiteral("--port"), QString::number(port_)} +
                             arguments);
    if (!simulator.waitForStarted(5000)) {
        whyNot = QStringLiteral("the card server did not start");
        return false;
    }
    if (!WaitForCard(true)) {
        QFile said(log);
        said.open(QIODevice::ReadOnly);
        whyNot = QStringLiteral("pcscd did not see the virtual card; the card server said: ") +
                 QString::fromLocal8Bit(said.readAll())
                     .trimmed()
                     .replace(QLatin1Char('\n'), QLatin1String("; "));
        return false;
    }
    return true;
}

}  // namespace pellucard::testing
