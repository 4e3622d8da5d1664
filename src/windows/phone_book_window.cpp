#include "windows/phone_book_window.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>

#include <array>
#include <functional>
#include <utility>

#include "engine/pellucard.h"
#include "records/number_filter.h"
#include "shell/session.h"
#include "windows/record_columns.h"
#include "windows/record_list_model.h"
#include "windows/usim_column_widths.h"

namespace pellucard {

namespace {

constexpr int kSlotColumnWidth = 30;  // pixels
constexpr int kRightMargin = 7;       // pixels left free right of the columns
constexpr int kTitlePadding = 12;     // pixels around a column title

const RecordWindowKind& phoneBookKind() {
    static const RecordWindowKind kind{WindowIndex::PhoneBook,
                                       MessageId::SimPhoneBookToComputerPhoneBook,
                                       MessageId::SimCardPhoneBook,
                                       usim_column::kCount,
                                       phone_column::kMark,
                                       phone_column::kFieldCount,
                                       &kPhoneBookFile,
                                       "readButton",
                                       "recordCountLabel",
                                       "lastReadLabel",
                                       MessageId::MaxRecordLabel,
                                       1,
                                       QStringLiteral("Phone Record")};
    return kind;
}

}  // namespace

PhoneBookWindow::PhoneBookWindow(ShellHost& host, QWidget* parent)
    : RecordWindow(phoneBookKind(), host, parent) {
    setObjectName(QStringLiteral("phoneBookWindow"));
    addCardFileChoice();
    setUpWindow();
}

void PhoneBookWindow::setUpColumns(int list) {
    RecordList& records = recordList(list);
    records.SetText(0, phone_column::kName, text(MessageId::AliasTitle));
    records.SetText(0, phone_column::kNumber, text(MessageId::PhoneTitle));
    records.SetText(0, usim_column::kSecondNumber, text(MessageId::SecondNumberTitle));
    records.SetText(0, usim_column::kNumberType, text(MessageId::NumberTypeTitle));
    records.SetText(0, usim_column::kEmail, text(MessageId::EmailTitle));
    records.SetText(0, usim_column::kSecondName, text(MessageId::SecondNameTitle));
    records.SetText(0, usim_column::kGroup, text(MessageId::GroupTitle));
    const bool usim = usimColumnsShown(list);
    for (int column = 3; column < usim_column::kCount; ++column)
        grid(list)->setColumnHidden(column - 1, column < usim_column::kSecondNumber || !usim);
}

void PhoneBookWindow::applyColumnWidths(int list) {
    RecordTable* grid = this->grid(list);
    const int slotWidth = kSlotColumnWidth;
    grid->verticalHeader()->setFixedWidth(slotWidth);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int rest = std::max(grid->width() - slotWidth - scrollBar - kRightMargin, 40);
    if (!usimColumnsShown(list)) {
        grid->setColumnWidth(phone_column::kName - 1, rest * 16 / 33);
        grid->setColumnWidth(phone_column::kNumber - 1, rest * 17 / 33);
        return;
    }
    // Seven columns: the name and number readable first, the USIM columns as wide as their
    // titles while there is room.
    static constexpr std::array<int, 7> kColumns = {
        phone_column::kName,      phone_column::kNumber, usim_column::kSecondNumber,
        usim_column::kNumberType, usim_column::kEmail,   usim_column::kSecondName,
        usim_column::kGroup};
    const QFontMetrics titleFont(grid->horizontalHeader()->font());
    const QFontMetrics cellFont(grid->font());
    const RecordList& records = recordList(list);
    std::array<int, kColumns.size()> titles{};
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        titles[i] = titleFont.horizontalAdvance(records.Text(0, kColumns[i])) + kTitlePadding;
    // A whole international number ("+" and 12 digits), or a name of as many letters.
    const int readable =
        cellFont.horizontalAdvance(QStringLiteral("+441632960456")) + kTitlePadding;
    const int narrowest = cellFont.horizontalAdvance(QStringLiteral("Work")) + kTitlePadding;
    const auto widths = usimColumnWidths(rest, titles, readable, narrowest);
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        grid->setColumnWidth(kColumns[i] - 1, widths[i]);
}

int PhoneBookWindow::cardRecordCount() const {
    return recordCountOf(shownCardFile());
}

void PhoneBookWindow::beforeWrite(Pellucard& engine) {
    // A name outside the GSM alphabet gets the UCS2 form that holds all of it.
    engine.SetNameForm(NameForm::BestFit);
}

void PhoneBookWindow::editCell(int list) {
    showCellEditor(list);
}

bool PhoneBookWindow::isNumberColumn(int column) const {
    return column == phone_column::kNumber || column == usim_column::kSecondNumber;
}

QList<int> PhoneBookWindow::clipboardColumns(int list) const {
    QList<int> columns{phone_column::kName, phone_column::kNumber};
    if (usimColumnsShown(list)) {
        for (int column = usim_column::kSecondNumber; column <= usim_column::kGroup; ++column)
            columns.append(column);
    }
    return columns;
}

QString PhoneBookWindow::clipboardText(int list) const {
    const RecordList& records = const_cast<PhoneBookWindow*>(this)->recordList(list);
    const QString lineEnd = QStringLiteral("\r\n");
    const QList<int> columns = clipboardColumns(list);
    const auto line = [&](int row) {
        QStringList fields;
        for (const int column : columns)
            fields.append(records.Text(row, column));
        return fields.join(QLatin1Char('\t')) + lineEnd;
    };
    QString text = line(0);
    for (int row = 1; row <= usedCount(list); ++row) {
        if (model(list)->IsMarked(row))
            text += line(row);
    }
    return text;
}

void PhoneBookWindow::appendClipboardRecords(int list, const QString& text, int& used) {
    RecordList& records = recordList(list);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    if (lines.size() < 2)
        return;
    const QStringList titles = lines.first().split(QLatin1Char('\t'));
    if (titles.size() < 2 ||
        titles[0].compare(records.Text(0, phone_column::kName), Qt::CaseInsensitive) != 0 ||
        titles[1].compare(records.Text(0, phone_column::kNumber), Qt::CaseInsensitive) != 0)
        return;
    // The USIM columns come along when the text carries them under their titles.
    QList<int> more;
    for (int column = usim_column::kSecondNumber;
         column <= usim_column::kGroup && titles.size() > 2 + more.size(); ++column) {
        if (titles[2 + more.size()].compare(records.Text(0, column), Qt::CaseInsensitive) != 0)
            break;
        more.append(column);
    }
    RecordList::BulkUpdate bulk(records);
    for (int i = 1; i < lines.size(); ++i) {
        if (used >= records.Rows() - 1)
            break;
        if (lines[i].isEmpty())
            continue;
        const QStringList fields = lines[i].split(QLatin1Char('\t'));
        ++used;
        records.SetText(used, phone_column::kName, fields[0]);
        if (fields.size() >= 2)
            records.SetText(used, phone_column::kNumber, FilterNumber(fields[1], 20).text);
        for (int k = 0; k < more.size() && 2 + k < fields.size(); ++k) {
            const QString field = fields[2 + k];
            records.SetText(
                used, more[k],
                more[k] == usim_column::kSecondNumber ? FilterNumber(field, 20).text : field);
        }
    }
}

}  // namespace pellucard
