// The personal record window's Edit commands.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>

#include "records/clipboard_text.h"
#include "records/record_slots.h"
#include "windows/personal_records_window.h"
#include "windows/record_list_model.h"

namespace pellucard {
namespace {

const QString kMark = QStringLiteral("1");

bool anyRowMarked(const RecordListModel& model) {
    for (int row = 1; row < model.List().Rows(); ++row) {
        if (model.IsMarked(row))
            return true;
    }
    return false;
}

}  // namespace

QLineEdit* PersonalRecordsWindow::typingField(int column) const {
    switch (column) {
        case kDateColumn:
            return yearBox->lineEdit();
        case kImportantColumn:
            return importanceBox->lineEdit();
        case kSexColumn:
            return sexBox->lineEdit();
        default:
            return column >= 1 && column <= kFieldCount ? fields_[column] : nullptr;
    }
}

QLineEdit* PersonalRecordsWindow::focusedTextField() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || !isAncestorOf(focus))
        return nullptr;
    if (auto* chooser = qobject_cast<QComboBox*>(focus))
        return chooser->lineEdit();
    return qobject_cast<QLineEdit*>(focus);
}

void PersonalRecordsWindow::copyToClipboard() {
    if (QLineEdit* field = focusedTextField()) {
        field->copy();
        return;
    }
    const int row = currentRow();
    const int column = recordGrid->currentColumn();
    QString text;
    if (anyRowMarked(*model_))
        text = ClipboardFieldText(recordList(), 1, used_, kMarkColumn, kMark, kFieldCount);
    else if (row >= 1 && column >= 1 && column <= kFieldCount)
        text = recordList().Text(row, column);
    else
        return;
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setText(text);
}

void PersonalRecordsWindow::pasteFromClipboard() {
    if (QLineEdit* field = focusedTextField()) {
        field->paste();
        return;
    }
    const QString text = QApplication::clipboard()->text();
    const QString firstLine = text.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
    const bool records =
        firstLine.compare(recordList().Text(0, 1) + QLatin1Char(':'), Qt::CaseInsensitive) == 0;
    if (anyRowMarked(*model_) || records) {
        if (used_ < recordList().LastSlot())
            appendClipboardRecords(text);
        return;
    }
    // Into the current cell's field, as if typed there: the field's limits and filters apply.
    const int column = recordGrid->currentColumn();
    QLineEdit* field = typingField(column);
    if (currentRow() < 1 || field == nullptr)
        return;
    goToField(column);
    field->selectAll();
    field->paste();
}

void PersonalRecordsWindow::deleteMarkedOrCell() {
    if (QLineEdit* field = focusedTextField()) {
        field->del();
        return;
    }
    if (anyRowMarked(*model_)) {
        deleteMarked();
        return;
    }
    const int row = currentRow();
    const int column = recordGrid->currentColumn();
    if (row < 1 || column < 1 || column > kFieldCount || recordList().Text(row, column).isEmpty())
        return;
    // A step of its own, never merged with typing in the field: Undo brings the text back.
    recordList().SetText(row, column, QString());
    TrackLastUsedRow(recordList(), used_, QString(), kFieldCount, row);
    markModified();
    showRecord(row);
}

void PersonalRecordsWindow::focusFindBox() {
    findBox->setFocus(Qt::ShortcutFocusReason);
    findBox->selectAll();
}

}  // namespace pellucard
