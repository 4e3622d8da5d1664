#include "shell/single_instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

namespace pellucard {
namespace {

// The request: this line, then one line per file (UTF-8), then an empty line. The answer: "ok".
const QByteArray kGreeting = "pellucard open";
const QByteArray kAnswer = "ok\n";
// A request is small; anything larger, or slower than this, is no start of ours.
constexpr qint64 kMaxRequestBytes = 64 * 1024;
constexpr int kRequestTimeoutMs = 5000;

}  // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() {
    // The runtime folder belongs to the user alone; without one, the shared temporary folder
    // with the user's id in the name.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return QDir(runtime).filePath(QStringLiteral("pellucard.lock"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("pellucard-%1.lock").arg(getuid()));
}

QString SingleInstance::serverPath() {
    QString path = lockPath();
    path.chop(QStringLiteral(".lock").size());
    return path + QStringLiteral(".socket");
}

SingleInstance::Outcome SingleInstance::acquire() {
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Never stale by age: a copy may run for days. A dead holder is detected by its process id.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        return lock_->error() == QLockFile::LockFailedError ? Outcome::HeldByAnother
                                                            : Outcome::Unavailable;
    }
    // Holding the lock, no other copy listens: a socket file left by a crashed one goes.
    QLocalServer::removeServer(serverPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection())
            takeRequest(socket);
    });
    // Without it the program runs on; later starts then end without reaching it.
    (void)server_->listen(serverPath());
    return Outcome::Acquired;
}

void SingleInstance::takeRequest(QLocalSocket* socket) {
    socket->setParent(this);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A peer that never finishes its request is let go.
    QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); });
    connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
        if (socket->bytesAvailable() > kMaxRequestBytes) {
            socket->abort();
            return;
        }
        const QByteArray request = socket->peek(kMaxRequestBytes);
        if (!request.endsWith("\n\n"))
            return;  // not all of it yet
        socket->readAll();
        QList<QByteArray> lines = request.split('\n');
        if (lines.isEmpty() || lines.takeFirst() != kGreeting) {
            socket->abort();
            return;
        }
        QStringList files;
        for (const QByteArray& line : lines) {
            const QString path = QString::fromUtf8(line);
            if (!path.isEmpty() && QFileInfo(path).isAbsolute())
                files.append(path);
        }
        socket->write(kAnswer);
        socket->flush();
        socket->disconnectFromServer();
        emit activationRequested(files);
    });
}

bool SingleInstance::handOver(const QStringList& files, QString& error, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    const auto left = [&] { return std::max<int>(1, timeoutMs - int(clock.elapsed())); };
    QLocalSocket socket;
    socket.connectToServer(serverPath());
    if (!socket.waitForConnected(left())) {
        error = QStringLiteral("another copy of the program runs but cannot be reached (%1)")
                    .arg(socket.errorString());
        return false;
    }
    QByteArray request = kGreeting + '\n';
    for (const QString& file : files)
        request += file.toUtf8() + '\n';
    request += '\n';
    socket.write(request);
    QByteArray answer;
    while (answer.size() < kAnswer.size() && clock.elapsed() < timeoutMs) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(left()))
            break;
        answer += socket.readAll();
    }
    if (answer != kAnswer) {
        error = QStringLiteral("another copy of the program runs but did not answer");
        return false;
    }
    return true;
}

void bringForward(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace pellucard
