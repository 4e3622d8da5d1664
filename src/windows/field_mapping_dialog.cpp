#include "windows/field_mapping_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalogue/catalogue.h"

namespace pellucard {
FieldMappingDialog::FieldMappingDialog(const QString& kindName, const QList<ImportField>& fields,
                                       int linked, int languageIndex, QWidget* parent)
    : QDialog(parent), fields_(fields) {
    setObjectName(QStringLiteral("fieldMappingDialog"));
    setWindowTitle(Message(MessageId::FieldMapping, languageIndex));
    label_ = new QLabel(Message(MessageId::SelectFieldLink, languageIndex).arg(kindName), this);
    label_->setObjectName(QStringLiteral("messageLabel"));
    label_->setWordWrap(true);
    comboHeader_ = new QComboBox(this);
    comboHeader_->setObjectName(QStringLiteral("headerChoice"));
    for (const ImportField& field : fields_) {
        comboHeader_->addItem(field.title, field.column);
    }
    comboHeader_->setCurrentIndex(comboHeader_->findData(linked));

    auto* ok = new QPushButton(Message(MessageId::Ok, languageIndex), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &FieldMappingDialog::confirm);
    auto* cancel = new QPushButton(Message(MessageId::Cancel, languageIndex), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &FieldMappingDialog::cancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(comboHeader_);
    layout->addLayout(buttons);
}

void FieldMappingDialog::confirm() {
    const int index = comboHeader_->currentIndex();
    if (index >= 0 && index < fields_.size())
        chosen_ = fields_[index];
    accept();
}

void FieldMappingDialog::cancel() {
    chosen_.reset();
    reject();
}

}  // namespace pellucard
