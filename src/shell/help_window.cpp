#include "shell/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "catalogue/catalogue.h"
#include "shell/artwork.h"

namespace pellucard {

QString InstalledHelpFolder() {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral(PELLUCARD_HELP_FROM_BINDIR));
}

QString HelpResource(int languageIndex, const QString& installedFolder) {
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

QString HelpResource(int languageIndex) {
    return HelpResource(languageIndex, InstalledHelpFolder());
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("HelpWindow");
    setWindowIcon(ArtworkIcon(Artwork::SimCard));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    resize(640, 560);
}

bool HelpWindow::ShowLanguage(int languageIndex) {
    const QString resource = HelpResource(languageIndex);
    if (resource.isEmpty())
        return false;
    browser_->setSource(resource.startsWith(QLatin1Char(':'))
                            ? QUrl(QStringLiteral("qrc") + resource)
                            : QUrl::fromLocalFile(resource));
    setWindowTitle(browser_->documentTitle());
    return true;
}

QString HelpWindow::Source() const {
    return browser_->source().toString();
}

}  // namespace pellucard
