#include "records/record_documents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <utility>

#include "catalogue/catalogue.h"
#include "records/application_folder.h"
#include "records/dialog_seam.h"
#include "records/file_history.h"
#include "records/record_messages.h"
#include "records/save_file.h"

namespace pellucard {
namespace {

// Writes the template's bytes (normally none) to `target` in one step.
bool WriteFromTemplate(const QString& templatePath, const QString& target, QString& error) {
    QFile source(templatePath);
    if (!source.open(QIODevice::ReadOnly)) {
        error = source.errorString();
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(source.readAll()) != source.size() ||
        !CommitWhenComplete(file)) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool CreateFromTemplate(const QString& templateName, const QString& target, int languageIndex) {
    QString error;
    if (EnsureApplicationFolder() &&
        WriteFromTemplate(ApplicationFilePath(templateName), target, error)) {
        return true;
    }
    ShowFileError(MessageId::FileNotSaved, target, error, languageIndex);
    return false;
}

QString& NextOpenFile() {
    static QString path;
    return path;
}

}  // namespace

QString NameFilterFor(const QString& filterLabel, const QString& extension) {
    const qsizetype bar = filterLabel.indexOf(u'|');
    const QString description = filterLabel.left(bar).trimmed();
    const QString pattern = (bar < 0 ? QStringLiteral("*") : filterLabel.mid(bar + 1)) + extension;
    QString patterns = pattern;
    if (pattern.toLower() != pattern) {
        patterns += u' ' + pattern.toLower();
    }
    return description + QStringLiteral(" (") + patterns + u')';
}

bool FileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString FileTitleOf(const QString& path, int languageIndex) {
    if (path.isEmpty()) {
        return Message(MessageId::EmptyRecord, languageIndex);
    }
    const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(separator + 1);
}

bool SamePath(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return false;
    }
    // Not QFileInfo::operator==, which takes any two missing files for the same one.
    const QFileInfo first(a);
    const QFileInfo second(b);
    const bool bothExist = first.exists() && second.exists();
    const QString pathA =
        bothExist ? first.canonicalFilePath() : QDir::cleanPath(first.absoluteFilePath());
    const QString pathB =
        bothExist ? second.canonicalFilePath() : QDir::cleanPath(second.absoluteFilePath());
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseSensitive;
#endif
    return pathA.compare(pathB, kFileNameCase) == 0;
}

bool CopyTemplateFile(QString& templateName, const QString& currentDocument,
                      const QString& targetPath, int languageIndex) {
    if (templateName.isEmpty()) {
        templateName = QString::fromLatin1(kTemplateFileName);
    }
    if (FileExists(targetPath)) {
        MessageRequest request =
            CatalogueMessage(MessageId::ReplaceFileQuestion, languageIndex, DialogButtons::YesNo);
        request.text += FileTitleOf(targetPath, languageIndex) + QStringLiteral(" ?");
        if (ShowMessage(request) != DialogAnswer::Yes) {
            return false;
        }
    }
    if (targetPath.isEmpty() || SamePath(targetPath, currentDocument)) {
        return false;
    }
    return CreateFromTemplate(templateName, targetPath, languageIndex);
}

void ChooseNextOpenFile(const QString& path) {
    NextOpenFile() = path;
}

QString ChooseOpenFile(QString& currentPath, const QString& extension, const QString& filterLabel,
                       int languageIndex) {
    const QString preset = std::exchange(NextOpenFile(), QString());
    FileRequest request;
    request.title = Message(MessageId::Open, languageIndex);
    request.nameFilter = NameFilterFor(filterLabel, extension);
    request.folder = FileHistory::Instance().StartFolder();
    QString chosen = preset;
    while (!FileExists(chosen)) {
        chosen = CurrentDialogs().ChooseOpenFileName(request);
        if (chosen.isEmpty()) {
            return {};
        }
    }
    FileHistory::Instance().RememberFolderOf(chosen);
    if (!SamePath(chosen, currentPath)) {
        currentPath = chosen;
    }
    const QString title = QFileInfo(chosen).fileName();
    const QString stem = title.left(title.indexOf(u'.'));
    // A hidden file (".name.SPB") has no stem; its whole name keeps it from reading as
    // a cancelled choice.
    return stem.isEmpty() ? title : stem;
}

QString NextNewDocumentPath(const RecordFileKind& kind) {
    for (int n = 0;; ++n) {
        const QString path =
            ApplicationFilePath(QString::fromLatin1(kind.newDocumentStem) + QString::number(n) +
                                QString::fromLatin1(kind.extension));
        if (!QFileInfo::exists(path)) {
            return path;
        }
    }
}

QString CreateNewDocument(const RecordFileKind& kind, int languageIndex) {
    const QString path = NextNewDocumentPath(kind);
    return CreateFromTemplate(QString::fromLatin1(kTemplateFileName), path, languageIndex)
               ? path
               : QString();
}

}  // namespace pellucard
