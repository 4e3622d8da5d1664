#pragma once

#include <QDialog>

class QTextBrowser;

namespace pellucard {

// The program's help in one language, shipped inside the program as HTML. Not modal: the user
// reads it beside the windows it explains.
class HelpWindow final : public QDialog {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the help of language `languageIndex`, or the English help when that language has
    // none. False when no help is shipped at all.
    bool showLanguage(int languageIndex);
    // The resource the window shows.
    QString source() const;

private:
    QTextBrowser* browser_;
};

// Where the help of a language lies among the program's resources; empty when it is missing.
QString helpResource(int languageIndex);

}  // namespace pellucard
