#include "shell/card_number_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/session.h"

namespace pellucard {

namespace {

// A dialling number has at most 20 digits; room for a "+", separators and a pause or two.
constexpr int kMaxTypedLength = 40;

}  // namespace

CardNumberDialog::CardNumberDialog(Session& session, const QString& title, const QString& prompt,
                                   const QString& number, QWidget* parent)
    : QDialog(parent) {
    setObjectName("cardNumberDialog");
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    promptLabel = new QLabel(prompt, this);
    promptLabel->setObjectName("promptLabel");
    promptLabel->setWordWrap(true);
    numberField = new QLineEdit(number, this);
    numberField->setObjectName("numberField");
    numberField->setMaxLength(kMaxTypedLength);
    numberField->setMinimumWidth(numberField->fontMetrics().horizontalAdvance('0') * 24);
    numberField->selectAll();
    promptLabel->setBuddy(numberField);
    layout->addWidget(promptLabel);
    layout->addWidget(numberField);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    okButton = new QPushButton(session.text(MessageId::Ok), this);
    okButton->setObjectName("okButton");
    okButton->setDefault(true);
    cancelButton = new QPushButton(session.text(MessageId::Cancel), this);
    cancelButton->setObjectName("cancelButton");
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString CardNumberDialog::number() const {
    return numberField->text().trimmed();
}

}  // namespace pellucard
