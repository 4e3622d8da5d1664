#include "windows/phone_book_window.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>

#include "engine/pellucard.h"
#include "records/number_filter.h"
#include "shell/session.h"
#include "windows/record_columns.h"
#include "windows/record_list_model.h"

namespace pellucard {

namespace {

constexpr int kSlotColumnWidth = 30;  // pixels
constexpr int kRightMargin = 7;       // pixels left free right of the columns

const RecordWindowKind& phoneBookKind() {
    static const RecordWindowKind kind{WindowIndex::PhoneBook,
                                       MessageId::SimPhoneBookToComputerPhoneBook,
                                       MessageId::SimCardPhoneBook,
                                       phone_column::kCount,
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
    for (int column = 3; column < phone_column::kCount; ++column)
        grid(list)->setColumnHidden(column - 1, true);
}

void PhoneBookWindow::applyColumnWidths(int list) {
    RecordTable* grid = this->grid(list);
    const int slotWidth = kSlotColumnWidth;
    grid->verticalHeader()->setFixedWidth(slotWidth);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int rest = std::max(grid->width() - slotWidth - scrollBar - kRightMargin, 40);
    grid->setColumnWidth(phone_column::kName - 1, rest * 16 / 33);
    grid->setColumnWidth(phone_column::kNumber - 1, rest * 17 / 33);
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
    return column == phone_column::kNumber;
}

QString PhoneBookWindow::clipboardText(int list) const {
    const RecordList& records = const_cast<PhoneBookWindow*>(this)->recordList(list);
    const QString lineEnd = QStringLiteral("\r\n");
    const QChar tab = QLatin1Char('\t');
    QString text = records.Text(0, phone_column::kName) + tab +
                   records.Text(0, phone_column::kNumber) + lineEnd;
    for (int row = 1; row <= usedCount(list); ++row) {
        if (!model(list)->IsMarked(row))
            continue;
        text += records.Text(row, phone_column::kName) + tab +
                records.Text(row, phone_column::kNumber) + lineEnd;
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
    }
}

}  // namespace pellucard
