#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace pellucard {

// The folder last used in a file dialog and the record files opened last, newest first, each
// with the window it was opened in. Kept in the program's settings store when one is attached
// (program_settings.h), else for this run only.
class FileHistory final : public QObject {
    Q_OBJECT

public:
    static constexpr int kRecentCount = 5;

    struct RecentFile {
        QString path;
        int windowIndex = 0;  // the record window that opened it
    };

    static FileHistory& Instance();

    // Where a file dialog starts: the folder last used while it exists, else the user's
    // documents folder. Never the folder of the program's scratch files.
    QString StartFolder() const;
    // A file was chosen in a dialog: its folder is the one last used from now on.
    void RememberFolderOf(const QString& path);

    // A record file was opened, or saved under a new name, in window `windowIndex`: it heads
    // the list, which keeps kRecentCount files.
    void RememberOpened(const QString& path, int windowIndex);
    QList<RecentFile> RecentFiles() const;
    // A file that can no longer be read leaves the list.
    void Forget(const QString& path);

    // Forgets what it holds (tests); Reload reads the settings store again.
    void Clear();
    void Reload();

signals:
    void RecentFilesChanged();

private:
    FileHistory() = default;
    void Load() const;
    void Store() const;

    mutable bool loaded_ = false;
    mutable QString lastFolder_;
    mutable QList<RecentFile> recent_;
};

}  // namespace pellucard
