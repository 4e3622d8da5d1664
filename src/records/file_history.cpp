#include "records/file_history.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "records/application_folder.h"
#include "records/program_settings.h"
#include "records/record_documents.h"

namespace pellucard {
namespace {

const QString kFolderKey = QStringLiteral("Files/lastFolder");
const QString kRecentKey = QStringLiteral("Files/recent");
const QString kRecentPath = QStringLiteral("path");
const QString kRecentWindow = QStringLiteral("window");

bool IsInside(const QString& path, const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QString cleanFolder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString cleanPath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return cleanPath == cleanFolder || cleanPath.startsWith(cleanFolder + u'/');
}

}  // namespace

FileHistory& FileHistory::Instance() {
    static FileHistory history;
    return history;
}

QString FileHistory::StartFolder() const {
    Load();
    if (!lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir() &&
        !IsInside(lastFolder_, ApplicationFolder()))
        return lastFolder_;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void FileHistory::RememberFolderOf(const QString& path) {
    if (path.isEmpty() || IsInside(path, ApplicationFolder()))
        return;
    Load();
    lastFolder_ = QFileInfo(path).absolutePath();
    Store();
}

void FileHistory::RememberOpened(const QString& path, int windowIndex) {
    // The program's own untitled lists are no file the user chose.
    if (path.isEmpty() || IsInside(path, ApplicationFolder()))
        return;
    Load();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent_.removeIf([&](const RecentFile& file) { return SamePath(file.path, absolute); });
    recent_.prepend({absolute, windowIndex});
    while (recent_.size() > kRecentCount)
        recent_.removeLast();
    Store();
    emit RecentFilesChanged();
}

QList<FileHistory::RecentFile> FileHistory::RecentFiles() const {
    Load();
    return recent_;
}

void FileHistory::Forget(const QString& path) {
    Load();
    if (recent_.removeIf([&](const RecentFile& file) { return SamePath(file.path, path); }) == 0)
        return;
    Store();
    emit RecentFilesChanged();
}

void FileHistory::Clear() {
    loaded_ = true;
    lastFolder_.clear();
    recent_.clear();
    emit RecentFilesChanged();
}

void FileHistory::Reload() {
    loaded_ = false;
    lastFolder_.clear();
    recent_.clear();
    Load();
    emit RecentFilesChanged();
}

void FileHistory::Load() const {
    if (loaded_)
        return;
    loaded_ = true;
    QSettings* settings = ProgramSettings();
    if (settings == nullptr)
        return;
    lastFolder_ = settings->value(kFolderKey).toString();
    const int count = settings->beginReadArray(kRecentKey);
    for (int k = 0; k < count && recent_.size() < kRecentCount; ++k) {
        settings->setArrayIndex(k);
        const QString path = settings->value(kRecentPath).toString();
        if (!path.isEmpty())
            recent_.append({path, settings->value(kRecentWindow).toInt()});
    }
    settings->endArray();
}

void FileHistory::Store() const {
    QSettings* settings = ProgramSettings();
    if (settings == nullptr)
        return;
    settings->setValue(kFolderKey, lastFolder_);
    settings->remove(kRecentKey);
    settings->beginWriteArray(kRecentKey, static_cast<int>(recent_.size()));
    for (int k = 0; k < recent_.size(); ++k) {
        settings->setArrayIndex(k);
        settings->setValue(kRecentPath, recent_[k].path);
        settings->setValue(kRecentWindow, recent_[k].windowIndex);
    }
    settings->endArray();
    settings->sync();
}

}  // namespace pellucard
