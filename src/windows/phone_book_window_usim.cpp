// The phone book window's USIM columns: when they show, what editing them keeps, and how the
// contact file holds them.
#include <QStringList>

#include "records/usim_contact_fields.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"

namespace pellucard {

namespace {

bool isUsimColumn(int column) {
    return column >= usim_column::kSecondNumber && column <= usim_column::kGroup;
}

}  // namespace

bool PhoneBookWindow::usimColumnsShown(int list) const {
    auto& self = *const_cast<PhoneBookWindow*>(this);
    if (usimBook_.present || HoldsUsimValues(self.recordList(kSimList), used_[kSimList]))
        return true;
    return list == kComputerList &&
           HoldsUsimValues(self.recordList(kComputerList), used_[kComputerList]);
}

void PhoneBookWindow::showUsimColumns() {
    for (int list : {kComputerList, kSimList}) {
        const bool shown = usimColumnsShown(list);
        if (grid(list)->isColumnHidden(usim_column::kSecondNumber - 1) != shown)
            continue;
        for (int column = usim_column::kSecondNumber; column <= usim_column::kGroup; ++column)
            grid(list)->setColumnHidden(column - 1, !shown);
        applyColumnWidths(list);
    }
}

void PhoneBookWindow::afterLoad(int list) {
    // Rows that came into the computer list from elsewhere (the card, a paste, an import) bring
    // their USIM values into the contact fields, and contact fields into empty USIM columns.
    if (list == kComputerList) {
        RecordList& records = recordList(list);
        RecordList::BulkUpdate bulk(records);
        for (int row = 1; row <= std::min(used_[list], records.LastSlot()); ++row)
            MergeUsimColumnsWithContactFields(records, row);
    }
    showUsimColumns();
}

void PhoneBookWindow::editorTextChanged() {
    const int list = editList_;
    const int row = editRow_;
    const bool usim = isUsimColumn(editColumn_);
    const qint32 tag = list >= 0 ? recordList(list).Tag(row) : 0;
    RecordWindow::editorTextChanged();
    // The name and number are still the ones read from the card: that record goes back as the
    // very bytes it was, and the contact keeps the numbers and addresses the row does not show.
    if (usim && list == kSimList && tag > 0)
        recordList(list).SetTag(row, tag);
    // The computer list's file keeps what the cell holds now, an emptied cell included.
    if (usim && list == kComputerList)
        KeepUsimColumnsInContactFields(recordList(list), row);
}

void PhoneBookWindow::setEditorLimit(int list, int column) {
    switch (column) {
        case usim_column::kSecondNumber:
            RecordWindow::setEditorLimit(list, phone_column::kNumber);
            return;
        // As long as the contact file's fields that keep them.
        case usim_column::kEmail:
            editor()->setLengthLimit(100);
            return;
        case usim_column::kSecondName:
            editor()->setLengthLimit(30);
            return;
        case usim_column::kNumberType:
            editor()->setLengthLimit(30);
            return;
        case usim_column::kGroup:
            editor()->setLengthLimit(255);
            return;
        default:
            RecordWindow::setEditorLimit(list, column);
            limitNameToShownFile(list, column);
    }
}

void PhoneBookWindow::editorPlaced(int list, int row, int column) {
    RecordWindow::editorPlaced(list, row, column);
    // The type and group cells offer the names the card knows, in the editor and its tip.
    QStringList names;
    const auto& offered =
        column == usim_column::kNumberType ? usimBook_.numberTypes : usimBook_.groupNames;
    if (column == usim_column::kNumberType || column == usim_column::kGroup) {
        for (const auto& name : offered) {
            if (!name.empty())
                names.append(QString::fromStdString(name));
        }
    }
    const QString offer = names.join(QStringLiteral(", "));
    editor()->setPlaceholderText(offer);
    editor()->setToolTip(offer);
}

bool PhoneBookWindow::cellChoices(int list, int /*row*/, int column, CellChoices& choices) {
    if (column != usim_column::kNumberType && column != usim_column::kGroup)
        return false;
    const bool types = column == usim_column::kNumberType;
    const bool cardList = list == kSimList;
    const auto& offered = cardList ? (types ? usimBook_.numberTypes : usimBook_.groupNames)
                                   : (types ? lastNumberTypes_ : lastGroupNames_);
    for (const auto& name : offered) {
        if (!name.empty())
            choices.names.append(QString::fromStdString(name));
    }
    // The computer list is bound to no card: without names it is typed as ever.
    if (!cardList && choices.names.isEmpty())
        return false;
    choices.freeText = !cardList;
    // A card without names keeps only an empty type or no group: the list says why.
    choices.tip = !choices.names.isEmpty() ? choices.names.join(QStringLiteral(", "))
                  : types                  ? text(MessageId::UsimNoNumberTypesOffered)
                                           : text(MessageId::UsimNoGroupsOffered);
    return true;
}

SlotTrailers PhoneBookWindow::documentTrailers() {
    // Every save: the contact fields take what the USIM columns hold.
    RecordList& records = recordList(kComputerList);
    for (int row = 1; row <= std::min(used_[kComputerList], records.LastSlot()); ++row)
        MergeUsimColumnsWithContactFields(records, row);
    return {};
}

void PhoneBookWindow::trailersOpened(const SlotTrailers& /*trailers*/) {
    RecordList& records = recordList(kComputerList);
    RecordList::BulkUpdate bulk(records);
    for (int row = 1; row <= records.LastSlot(); ++row)
        FillUsimColumnsFromContactFields(records, row);
}

}  // namespace pellucard
