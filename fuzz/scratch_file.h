#pragma once

// The file-reading checks hand their input to the code under test as a file on disk, the way a
// user's file reaches it. One scratch folder serves the whole process.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace pellucard::fuzz {

// In memory where the system offers it: saving a record file syncs it to disk, which on a disk
// costs more than the rest of a check.
inline QString ScratchPath(const QString& name) {
    static QTemporaryDir folder((QDir(QStringLiteral("/dev/shm")).exists()
                                     ? QStringLiteral("/dev/shm")
                                     : QDir::tempPath()) +
                                QStringLiteral("/pellucard-fuzz-XXXXXX"));
    return folder.filePath(name);
}

// Writes `bytes` to the scratch file `name` and returns its path; an empty path when the file
// could not be written.
inline QString WriteScratchFile(const QString& name, const QByteArray& bytes) {
    const QString path = ScratchPath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

}  // namespace pellucard::fuzz
