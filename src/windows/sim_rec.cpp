#include "windows/sim_rec.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>

#include "engine/pellucard.h"
#include "records/number_filter.h"
#include "records/record_list_model.h"
#include "shell/session.h"
#include "windows/record_columns.h"

namespace pellucard {

namespace {

constexpr int kSlotColumnTwips = 450;

const RecordWindowKind& PhoneBookKind() {
    static const RecordWindowKind kind{WindowIndex::SimRec,
                                       MessageId::SimPhoneBookToComputerPhoneBook,
                                       MessageId::SimCardPhoneBook,
                                       phone_column::kCount,
                                       phone_column::kMark,
                                       phone_column::kFieldCount,
                                       &kPhoneBookFile,
                                       "Connectosim",
                                       "RecordL",
                                       "LNowRec",
                                       MessageId::MaxRecordLabel,
                                       10,
                                       QStringLiteral("Phone Record")};
    return kind;
}

}  // namespace

SimRec::SimRec(ShellHost& host, QWidget* parent) : RecordWindow(PhoneBookKind(), host, parent) {
    setObjectName(QStringLiteral("SimRec"));
    Load();
}

void SimRec::SetUpColumns(int list) {
    RecordList& records = List(list);
    records.SetText(0, phone_column::kName, Text(MessageId::AliasTitle));
    records.SetText(0, phone_column::kNumber, Text(MessageId::PhoneTitle));
    for (int column = 3; column < phone_column::kCount; ++column)
        Grid(list)->setColumnHidden(column - 1, true);
}

void SimRec::ApplyColumnWidths(int list) {
    RecordTable* grid = Grid(list);
    const int slotWidth = Twips(kSlotColumnTwips);
    grid->verticalHeader()->setFixedWidth(slotWidth);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int rest = std::max(grid->width() - slotWidth - scrollBar - Twips(100), 40);
    grid->setColumnWidth(phone_column::kName - 1, rest * 16 / 33);
    grid->setColumnWidth(phone_column::kNumber - 1, rest * 17 / 33);
}

int SimRec::CardRecordCount() const {
    return const_cast<SimRec*>(this)->CurrentSessionRef().CardInfo.MaxPhoneRecords.value_or(0);
}

bool SimRec::RunRead(TransferRun& run, RecordList& list, int& doneCount) {
    return ReadPhoneBook(run, list, CardRecordCount(), doneCount);
}

bool SimRec::RunWrite(TransferRun& run, const RecordList& list, int usedCount) {
    return WritePhoneBook(run, list, CardRecordCount(), usedCount);
}

void SimRec::BeforeWrite(Pellucard& engine) {
    // A name outside the GSM alphabet gets the UCS2 form that holds all of it.
    engine.SetNameForm(NameForm::BestFit);
}

void SimRec::EditCell(int list) {
    ShowCellEditor(list);
}

bool SimRec::IsNumberColumn(int column) const {
    return column == phone_column::kNumber;
}

QString SimRec::ClipboardText(int list) const {
    const RecordList& records = const_cast<SimRec*>(this)->List(list);
    const QString lineEnd = QStringLiteral("\r\n");
    const QChar tab = QLatin1Char('\t');
    QString text = records.Text(0, phone_column::kName) + tab +
                   records.Text(0, phone_column::kNumber) + lineEnd;
    for (int row = 1; row <= UsedCount(list); ++row) {
        if (!Model(list)->IsMarked(row))
            continue;
        text += records.Text(row, phone_column::kName) + tab +
                records.Text(row, phone_column::kNumber) + lineEnd;
    }
    return text;
}

void SimRec::DisplayInGrid(int list, const QString& text, int& used) {
    RecordList& records = List(list);
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
