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

// Where earlier versions kept the template and the untitled documents.
QString DataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

}  // namespace

QString ApplicationFolder() {
    if (!Override().isEmpty()) {
        return Override();
    }
    const QString data = DataFolder();
    return data.isEmpty() ? QString() : QDir(data).filePath(QStringLiteral("scratch"));
}

void SetApplicationFolder(const QString& folder) {
    Override() = folder;
}

bool EnsureApplicationFolder() {
    const QString folder = ApplicationFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        return false;
    }
    const QString name = QString::fromLatin1(kTemplateFileName);
    QFile templateFile(ApplicationFilePath(name));
    if (templateFile.exists()) {
        return true;
    }
    const QString earlier = QDir(DataFolder()).filePath(name);
    if (Override().isEmpty() && QFile::exists(earlier) &&
        QFile::copy(earlier, templateFile.fileName())) {
        return true;
    }
    return templateFile.open(QIODevice::WriteOnly);
}

QString ApplicationFilePath(const QString& fileName) {
    return QDir(ApplicationFolder()).filePath(fileName);
}

}  // namespace pellucard
