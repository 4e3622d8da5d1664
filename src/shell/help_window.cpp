#include "shell/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "catalogue/catalogue.h"
#include "shell/artwork.h"

namespace pellucard {

QString installedHelpFolder() {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral(PELLUCARD_HELP_FROM_BINDIR));
}

QString helpResource(int languageIndex, const QString& installedFolder) {
    // The language before the folder: the built-in French page, not the installed English one.
    for (int language : {languageIndex, 0}) {
        const QString name = HelpFileName(language);
        if (!installedFolder.isEmpty() && QFile::exists(QDir(installedFolder).filePath(name)))
            return QDir(installedFolder).filePath(name);
        if (QFile::exists(QStringLiteral(":/help/") + name))
            return QStringLiteral(":/help/") + name;
    }
    return {};
}

QString helpResource(int languageIndex) {
    return helpResource(languageIndex, installedHelpFolder());
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("HelpWindow");
    setWindowIcon(artworkIcon(Artwork::SimCard));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    resize(640, 560);
}

bool HelpWindow::showLanguage(int languageIndex) {
    const QString resource = helpResource(languageIndex);
    if (resource.isEmpty())
        return false;
    browser_->setSource(resource.startsWith(QLatin1Char(':'))
                            ? QUrl(QStringLiteral("qrc") + resource)
                            : QUrl::fromLocalFile(resource));
    setWindowTitle(browser_->documentTitle());
    return true;
}

QString HelpWindow::source() const {
    return browser_->source().toString();
}

}  // namespace pellucard
