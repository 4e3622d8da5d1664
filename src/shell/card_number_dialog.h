#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pellucard {

class Session;

// Asks for one number of the card (the own number, the message centre), shown with the one
// the card holds now. Run through the dialog seam; the caller checks and writes the number.
class CardNumberDialog final : public QDialog {
    Q_OBJECT

public:
    CardNumberDialog(Session& session, const QString& title, const QString& prompt,
                     const QString& number, QWidget* parent);

    // The number as typed, trimmed.
    QString number() const;

    QLabel* promptLabel;
    QLineEdit* numberField;
    QPushButton* okButton;
    QPushButton* cancelButton;
};

}  // namespace pellucard
