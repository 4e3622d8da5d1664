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
#include "windows/person_rec.h"
#include "windows/record_list_model.h"

namespace pellucard {
namespace {

constexpr int kNumberLimit = 20;

bool IsNumberColumn(int column) {
    return std::find(PersonRec::kNumberColumns.begin(), PersonRec::kNumberColumns.end(), column) !=
           PersonRec::kNumberColumns.end();
}

// Selects the entry whose number equals the text's ("5" and "05" alike); the empty entry
// when none does.
void SelectNumber(QComboBox* chooser, const QString& text) {
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

void PersonRec::ShowRecord(int row) {
    showing_ = true;
    shownRow_ = row;
    const RecordList& list = List();
    iniAllTLenght();
    for (int column = 1; column <= kFieldCount; ++column) {
        QLineEdit* field = text3_[column];
        const QString& text = list.Text(row, column);
        // A value longer than the field's input limit (from a file or an import) is shown
        // whole, so that editing it cannot cut it unseen.
        int limit = field->maxLength();
        if (IsNumberColumn(column) && text.startsWith(u'+'))
            limit = kNumberLimit + 1;
        field->setMaxLength(std::max<int>(limit, text.size()));
        field->setText(text);
        field->setCursorPosition(0);
    }
    SexC->setEditText(list.Text(row, kSexColumn));
    ImprotantC->setEditText(list.Text(row, kImportantColumn));
    ShowDate(list.Text(row, kDateColumn));
    showing_ = false;
}

void PersonRec::ShowDate(const QString& date) {
    const auto [year, month, day] = SplitDate(date);
    const int yearIndex = YearC->findText(year);
    YearC->setCurrentIndex(yearIndex);
    YearC->setEditText(year);
    SelectNumber(MonthC, month);
    RefillDays();
    SelectNumber(DayC, day);
}

void PersonRec::FieldEdited(int column) {
    if (showing_)
        return;
    QLineEdit* field = text3_[column];
    QString text = field->text();
    if (IsNumberColumn(column)) {
        const FilteredNumber filtered = FilterNumber(text, kNumberLimit);
        field->setMaxLength(std::max<int>(filtered.lengthLimit, filtered.text.size()));
        if (filtered.text != text) {
            const int caret = field->cursorPosition();
            field->setText(filtered.text);
            field->setCursorPosition(std::max(caret - 1, 0));
            text = filtered.text;
        }
        if (filtered.invalidCharacter)
            ShowRefusedCharacterHint(*field, Host(), Language());
    }
    FieldChanged(column, text);
}

void PersonRec::FieldChanged(int column, const QString& text) {
    if (showing_)
        return;
    int row = CurrentRow();
    if (row < 1) {
        row = 1;
        MSHFlexGrid1->SetCurrentCell(row, column);
    }
    RecordList& list = List();
    if (text == list.Text(row, column))
        return;
    if (text3_[column]->isHidden())
        text3_[column]->setText(text);  // the text field behind a chooser
    list.SetText(row, column, text);
    TrackLastUsedRow(list, used_, text, kFieldCount, row);
    // The keystrokes in one field of one record are one step.
    MarkModified(row * kColumnCount + column + 1);
}

// --- Date of birth ---

void PersonRec::YearEdited(const QString& typed) {
    const QString year = YearPrefix(typed);
    if (year != typed) {
        const int caret = std::min<int>(YearC->lineEdit()->cursorPosition(), year.size());
        YearC->lineEdit()->setText(year);
        YearC->lineEdit()->setCursorPosition(caret);
    }
    if (year.size() == 4) {
        const int index = YearC->findText(year);
        if (index >= 0) {
            const QSignalBlocker blocker(YearC);
            YearC->setCurrentIndex(index);
        }
    }
    DateChanged();
}

void PersonRec::YearLeft() {
    const QString year = YearC->currentText();
    if (year.isEmpty() || year.size() == 4)
        return;
    const QString thisYear = QString::number(QDate::currentDate().year());
    YearC->setCurrentIndex(YearC->findText(thisYear));
    YearC->setEditText(thisYear);
    DateChanged();
}

void PersonRec::RefillDays() {
    const QString year = YearC ? YearC->currentText() : QString();
    const QString month = MonthC->currentText();
    const int days = DaysInMonth(year, month);
    if (DayC->count() == days + 1)
        return;
    const int day = DayC->currentIndex();
    const QSignalBlocker blocker(DayC);
    DayC->clear();
    DayC->addItem(QString());
    for (int d = 1; d <= days; ++d)
        DayC->addItem(QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0')));
    // A day beyond the month's end becomes its last day.
    DayC->setCurrentIndex(std::min(std::max(day, 0), days));
}

void PersonRec::DateChanged() {
    if (showing_)
        return;
    const QString year = YearC->currentText();
    if (year.size() == 4 && !MonthC->currentText().isEmpty())
        RefillDays();
    FieldChanged(kDateColumn, JoinDate(year, MonthC->currentText(), DayC->currentText()));
}

// --- Sex and importance ---

void PersonRec::SexEdited(const QString& typed) {
    const QString sex = SexValue(typed);
    if (sex != typed)
        SexC->setEditText(sex);
    FieldChanged(kSexColumn, sex);
}

void PersonRec::ImportanceEdited(const QString& typed) {
    const QString level = ImportanceValue(typed);
    if (level != typed)
        ImprotantC->setEditText(level);
    FieldChanged(kImportantColumn, level);
}

void PersonRec::GoToField(int column, int start, int length) {
    if (column < 1 || column > kFieldCount)
        return;
    SSTab1->setCurrentIndex(PageOf(column));
    QWidget* target = text3_[column];
    QLineEdit* edit = text3_[column];
    if (column == kDateColumn) {
        target = YearC;
        edit = YearC->lineEdit();
    } else if (column == kImportantColumn) {
        target = ImprotantC;
        edit = ImprotantC->lineEdit();
    } else if (column == kSexColumn) {
        target = SexC;
        edit = SexC->lineEdit();
    }
    target->setFocus(Qt::OtherFocusReason);
    if (start >= 0 && edit != nullptr)
        edit->setSelection(start, length);
}

}  // namespace pellucard
