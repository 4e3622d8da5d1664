#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;
class QWidget;

namespace pellucard {

// One running copy of the program per user: the first holds a lock file in the user's runtime
// folder and listens beside it for later starts; a later start finds the lock held, asks the
// running copy to come forward and open the files named on its command line, and ends. A lock
// left by a copy that crashed is taken over.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    SingleInstance();
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Outcome {
        Acquired,       // this is the only running copy; the lock is ours
        HeldByAnother,  // another copy runs
        Unavailable,    // the lock file cannot be made here (no runtime folder, no right to it)
    };
    // Takes the lock; the copy that holds it listens for later starts (activationRequested).
    Outcome acquire();

    // From a later start: asks the running copy to come forward and open `files` (absolute
    // paths). True once it has taken the request; false with the reason when it cannot be
    // reached or does not answer within `timeoutMs`.
    bool handOver(const QStringList& files, QString& error, int timeoutMs = 5000);

    static QString lockPath();
    // Where the running copy listens: beside its lock, reachable by the same user only.
    static QString serverPath();

signals:
    // A later start asked this copy to come forward and open these files.
    void activationRequested(const QStringList& files);

private:
    void takeRequest(QLocalSocket* socket);

    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

// Shows `window` unminimised, raised and active, as a second start asks.
void bringForward(QWidget& window);

}  // namespace pellucard
