#include "shell/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

namespace pellucard {

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

SingleInstance::Outcome SingleInstance::acquire() {
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Never stale by age: a copy may run for days. A dead holder is detected by its process id.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return Outcome::Acquired;
    return lock_->error() == QLockFile::LockFailedError ? Outcome::HeldByAnother
                                                        : Outcome::Unavailable;
}

}  // namespace pellucard
