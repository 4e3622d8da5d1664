#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace pellucard {

class Session;

// The About box (`Dialog`): the product's version line and artwork. Not modal.
class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    AboutDialog(const Session& session, QWidget* parent = nullptr);
    void changeLanguage(const Session& session);

    QLabel* versionLabel;
    QPushButton* okButton;
};

}  // namespace pellucard
