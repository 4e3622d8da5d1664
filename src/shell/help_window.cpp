#include "shell/help_window.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "catalogue/catalogue.h"
#include "shell/artwork.h"

namespace pellucard {

QString helpResource(int languageIndex) {
    for (int language : {languageIndex, 0}) {
        const QString path = QStringLiteral(":/help/") + HelpFileName(language);
        if (QFile::exists(path))
            return path;
    }
    return {};
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
    browser_->setSource(QUrl(QStringLiteral("qrc") + resource));
    setWindowTitle(browser_->documentTitle());
    return true;
}

QString HelpWindow::source() const {
    return browser_->source().toString();
}

}  // namespace pellucard
