#pragma once

#include <QDialog>

class QTextBrowser;

namespace pellucard {

// The program's help in one language, HTML installed beside the program and shipped inside it for
// a program run where it was built. Not modal: the user reads it beside the windows it explains.
class HelpWindow final : public QDialog {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the help of language `languageIndex`, or the English help when that language has
    // none. False when no help is shipped at all.
    bool showLanguage(int languageIndex);
    // The page the window shows, as a URL.
    QString source() const;

private:
    QTextBrowser* browser_;
};

// Where the help of a language lies: in `installedFolder` when the page is there, else among the
// program's resources; empty when neither has it.
QString helpResource(int languageIndex, const QString& installedFolder);
// The same with the help folder that is installed beside the program (share/pellucard/help).
QString helpResource(int languageIndex);
QString installedHelpFolder();

}  // namespace pellucard
