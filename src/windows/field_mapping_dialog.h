#pragma once

#include <QDialog>
#include <QList>

#include <optional>

#include "records/text_import.h"

class QComboBox;
class QLabel;

namespace pellucard {

// The field-mapping dialog: chooses the record field that a text field of an import fills.
class FieldMappingDialog final : public QDialog {
    Q_OBJECT

public:
    // `fields` are the record fields offered (their titles fill ComboHeader); `linked` is the
    // column the text field fills now, 0 when none.
    FieldMappingDialog(const QString& kindName, const QList<ImportField>& fields, int linked,
                       int languageIndex, QWidget* parent = nullptr);

    QComboBox* comboHeader() const { return comboHeader_; }
    QLabel* messageLabel() const { return label_; }
    // The field chosen with OK; nothing after Cancel or when no title was chosen.
    const std::optional<ImportField>& chosen() const { return chosen_; }

    void confirm();
    void cancel();

private:
    QList<ImportField> fields_;
    QLabel* label_ = nullptr;
    QComboBox* comboHeader_ = nullptr;
    std::optional<ImportField> chosen_;
};

}  // namespace pellucard
