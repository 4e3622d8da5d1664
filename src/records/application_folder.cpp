#include "records/application_folder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace pellucard {
namespace {

QString& Override() {
    static QString folder;
    return folder;
}

}  // namespace

QString ApplicationFolder() {
    if (!Override().isEmpty()) {
        return Override();
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void SetApplicationFolder(const QString& folder) {
    Override() = folder;
}

bool EnsureApplicationFolder() {
    const QString folder = ApplicationFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        return false;
    }
    QFile templateFile(ApplicationFilePath(QString::fromLatin1(kTemplateFileName)));
    if (templateFile.exists()) {
        return true;
    }
    return templateFile.open(QIODevice::WriteOnly);
}

QString ApplicationFilePath(const QString& fileName) {
    return QDir(ApplicationFolder()).filePath(fileName);
}

}  // namespace pellucard
