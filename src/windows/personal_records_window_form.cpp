// The personal record window's form: showing the current record and editing it, with the
// choosers of the date of birth, the sex and the importance.
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>

#include "records/number_filter.h"
#include "records/person_fields.h"
#include "records/record_slots.h"
#include "windows/number_hint.h"
#include "windows/personal_records_window.h"
#include "windows/record_list_model.h"

namespace pellucard {
namespace {

constexpr int kNumberLimit = 20;

bool isNumberColumn(int column) {
    return std::find(PersonalRecordsWindow::kNumberColumns.begin(),
                     PersonalRecordsWindow::kNumberColumns.end(),
                     column) != PersonalRecordsWindow::kNumberColumns.end();
}

// Selects the entry whose number equals the text's ("5" and "05" alike); the empty entry
// when none does.
void selectNumber(QComboBox* chooser, const QString& text) {
    int index = chooser->findText(text);
    bool isNumber = false;
    const int value = text.toInt(&isNumber);
    for (int i = 1; index < 0 && isNumber && i < chooser->count(); ++i) {
        if (chooser->itemText(i).toInt() == value)
            index = i;
    }
    chooser->setCurrentIndex(std::max(index, 0));
}

}  // namespace

void PersonalRecordsWindow::showRecord(int row) {
    showing_ = true;
    shownRow_ = row;
    const RecordList& list = recordList();
    setFieldLengthLimits();
    for (int column = 1; column <= kFieldCount; ++column) {
        QLineEdit* field = fields_[column];
        const QString& text = list.Text(row, column);
        // A value longer than the field's input limit (from a file or an import) is shown
        // whole, so that editing it cannot cut it unseen.
        int limit = field->maxLength();
        if (isNumberColumn(column) && text.startsWith(u'+'))
            limit = kNumberLimit + 1;
        field->setMaxLength(std::max<int>(limit, text.size()));
        field->setText(text);
        field->setCursorPosition(0);
    }
    sexBox->setEditText(list.Text(row, kSexColumn));
    importanceBox->setEditText(list.Text(row, kImportantColumn));
    showDate(list.Text(row, kDateColumn));
    showing_ = false;
}

void PersonalRecordsWindow::showDate(const QString& date) {
    const auto [year, month, day] = SplitDate(date);
    const int yearIndex = yearBox->findText(year);
    yearBox->setCurrentIndex(yearIndex);
    yearBox->setEditText(year);
    selectNumber(monthBox, month);
    refillDays();
    selectNumber(dayBox, day);
}

void PersonalRecordsWindow::fieldEdited(int column) {
    if (showing_)
        return;
    QLineEdit* field = fields_[column];
    QString text = field->text();
    if (isNumberColumn(column)) {
        const FilteredNumber filtered = FilterNumber(text, kNumberLimit);
        field->setMaxLength(std::max<int>(filtered.lengthLimit, filtered.text.size()));
        if (filtered.text != text) {
            const int caret = field->cursorPosition();
            field->setText(filtered.text);
            field->setCursorPosition(std::max(caret - 1, 0));
            text = filtered.text;
        }
        if (filtered.invalidCharacter)
            showRefusedCharacterHint(*field, host(), language());
    }
    fieldChanged(column, text);
}

void PersonalRecordsWindow::fieldChanged(int column, const QString& text) {
    if (showing_)
        return;
    int row = currentRow();
    if (row < 1) {
        row = 1;
        recordGrid->setCurrentCell(row, column);
    }
    RecordList& list = recordList();
    if (text == list.Text(row, column))
        return;
    if (fields_[column]->isHidden())
        fields_[column]->setText(text);  // the text field behind a chooser
    list.SetText(row, column, text);
    TrackLastUsedRow(list, used_, text, kFieldCount, row);
    // The keystrokes in one field of one record are one step.
    markModified(row * kColumnCount + column + 1);
}

// --- Date of birth ---

void PersonalRecordsWindow::yearEdited(const QString& typed) {
    const QString year = YearPrefix(typed);
    if (year != typed) {
        const int caret = std::min<int>(yearBox->lineEdit()->cursorPosition(), year.size());
        yearBox->lineEdit()->setText(year);
        yearBox->lineEdit()->setCursorPosition(caret);
    }
    if (year.size() == 4) {
        const int index = yearBox->findText(year);
        if (index >= 0) {
            const QSignalBlocker blocker(yearBox);
            yearBox->setCurrentIndex(index);
        }
    }
    dateChanged();
}

void PersonalRecordsWindow::yearLeft() {
    const QString year = yearBox->currentText();
    if (year.isEmpty() || year.size() == 4)
        return;
    const QString thisYear = QString::number(QDate::currentDate().year());
    yearBox->setCurrentIndex(yearBox->findText(thisYear));
    yearBox->setEditText(thisYear);
    dateChanged();
}

void PersonalRecordsWindow::refillDays() {
    const QString year = yearBox ? yearBox->currentText() : QString();
    const QString month = monthBox->currentText();
    const int days = DaysInMonth(year, month);
    if (dayBox->count() == days + 1)
        return;
    const int day = dayBox->currentIndex();
    const QSignalBlocker blocker(dayBox);
    dayBox->clear();
    dayBox->addItem(QString());
    for (int d = 1; d <= days; ++d)
        dayBox->addItem(QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0')));
    // A day beyond the month's end becomes its last day.
    dayBox->setCurrentIndex(std::min(std::max(day, 0), days));
}

void PersonalRecordsWindow::dateChanged() {
    if (showing_)
        return;
    const QString year = yearBox->currentText();
    if (year.size() == 4 && !monthBox->currentText().isEmpty())
        refillDays();
    fieldChanged(kDateColumn, JoinDate(year, monthBox->currentText(), dayBox->currentText()));
}

// --- Sex and importance ---

void PersonalRecordsWindow::sexEdited(const QString& typed) {
    const QString sex = SexValue(typed);
    if (sex != typed)
        sexBox->setEditText(sex);
    fieldChanged(kSexColumn, sex);
}

void PersonalRecordsWindow::importanceEdited(const QString& typed) {
    const QString level = ImportanceValue(typed);
    if (level != typed)
        importanceBox->setEditText(level);
    fieldChanged(kImportantColumn, level);
}

void PersonalRecordsWindow::goToField(int column, int start, int length) {
    if (column < 1 || column > kFieldCount)
        return;
    pages->setCurrentIndex(pageOf(column));
    QWidget* target = fields_[column];
    QLineEdit* edit = fields_[column];
    if (column == kDateColumn) {
        target = yearBox;
        edit = yearBox->lineEdit();
    } else if (column == kImportantColumn) {
        target = importanceBox;
        edit = importanceBox->lineEdit();
    } else if (column == kSexColumn) {
        target = sexBox;
        edit = sexBox->lineEdit();
    }
    target->setFocus(Qt::OtherFocusReason);
    if (start >= 0 && edit != nullptr)
        edit->setSelection(start, length);
}

}  // namespace pellucard
