#include "print_pdf_text.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace pellucard {

QStringList PdfPageTexts(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) {
        qWarning("pdftotext is missing: scripts/setup.sh installs poppler-utils");
        return {};
    }
    QProcess process;
    process.start(tool, {QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                         path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return {};
    }
    // Every page ends with a form feed.
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QChar('\f'));
    pages.removeLast();
    return pages;
}

QString Squeezed(const QString& text) {
    QString squeezed = text;
    squeezed.remove(QRegularExpression(QStringLiteral("\\s")));
    return squeezed;
}

}  // namespace pellucard
