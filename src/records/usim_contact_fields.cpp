#include "records/usim_contact_fields.h"

#include <array>
#include <utility>

#include "records/field_text.h"
#include "records/usim_columns.h"
#include "records/usim_fields.h"

namespace pellucard {
namespace {

enum class NumberKind { Mobile, Home, Work, Fax, Other };

// The kind a type names, by the words for mobile, home, work or office, and fax that the vCard
// exchange reads in the program's eight languages; a fax before the others.
NumberKind KindOf(const QString& type) {
    const QStringList kinds = VCardTypesOfNumberType(type);
    if (kinds.contains(QLatin1String("fax")))
        return NumberKind::Fax;
    if (kinds.contains(QLatin1String("cell")))
        return NumberKind::Mobile;
    if (kinds.contains(QLatin1String("home")))
        return NumberKind::Home;
    if (kinds.contains(QLatin1String("work")))
        return NumberKind::Work;
    return NumberKind::Other;
}

// The number fields a file's second number is looked for in, in order, with the type it gets.
struct NumberField {
    int field;
    const char* type;
};
constexpr std::array<NumberField, 5> kNumberFields = {{{contact_field::kMobilePhone, "Mobile"},
                                                       {contact_field::kHomeTelephone, "Home"},
                                                       {contact_field::kOfficeTelephone, "Work"},
                                                       {contact_field::kOfficeFax, "Fax"},
                                                       {contact_field::kHomeFax, "Fax"}}};

// The field a file's second number is read from, or none.
const NumberField* SecondNumberField(const RecordList& list, int row) {
    for (const auto& field : kNumberFields) {
        if (!TrimBlanks(list.Text(row, field.field)).isEmpty())
            return &field;
    }
    return nullptr;
}

// E-mail, second name and group into their contact fields.
void KeepTextColumnsInContactFields(RecordList& list, int row) {
    list.SetText(row, contact_field::kPersonalEmail, list.Text(row, usim_column::kEmail));
    list.SetText(row, contact_field::kNickname, list.Text(row, usim_column::kSecondName));
    list.SetText(row, contact_field::kHobby, list.Text(row, usim_column::kGroup));
}

}  // namespace

int NumberFieldOfType(const QString& type) {
    switch (KindOf(type)) {
        case NumberKind::Mobile:
            return contact_field::kMobilePhone;
        case NumberKind::Home:
            return contact_field::kHomeTelephone;
        case NumberKind::Fax:
            return VCardTypesOfNumberType(type).contains(QLatin1String("home"))
                       ? contact_field::kHomeFax
                       : contact_field::kOfficeFax;
        case NumberKind::Work:
        case NumberKind::Other:
            break;
    }
    return contact_field::kOfficeTelephone;
}

QString MatchNumberType(const QString& type, const QStringList& types) {
    for (const QString& name : types) {
        if (!name.isEmpty() && name.compare(type, Qt::CaseInsensitive) == 0)
            return name;
    }
    const NumberKind kind = KindOf(type);
    if (kind == NumberKind::Other)
        return type;
    for (const QString& name : types) {
        if (KindOf(name) == kind)
            return name;
    }
    return type;
}

QStringList SplitGroups(const QString& cell) {
    QStringList groups;
    for (const QString& part : cell.split(QLatin1Char(','))) {
        const QString group = part.trimmed();
        if (!group.isEmpty())
            groups.append(group);
    }
    return groups;
}

QString JoinGroups(const QStringList& groups) {
    return groups.join(QStringLiteral(", "));
}

void KeepUsimColumnsInContactFields(RecordList& list, int row) {
    const QString number = list.Text(row, usim_column::kSecondNumber);
    const QString type = list.Text(row, usim_column::kNumberType);
    const NumberField* read = SecondNumberField(list, row);
    int target = NumberFieldOfType(type);
    // A field that holds another number of the contact is never written over: the number stays
    // where it was read from, or goes to the first free number field.
    const auto holdsAnother = [&](int field) {
        const QString held = list.Text(row, field);
        return !TrimBlanks(held).isEmpty() && held != number && !(read && read->field == field);
    };
    if (!number.isEmpty() && holdsAnother(target)) {
        target = read ? read->field : 0;
        for (const auto& field : kNumberFields) {
            if (target == 0 && TrimBlanks(list.Text(row, field.field)).isEmpty())
                target = field.field;
        }
        if (target == 0)
            return KeepTextColumnsInContactFields(list, row);
    }
    // What the file gave as the second number gives way to what the row holds now.
    if (read) {
        const bool same = read->field == target && list.Text(row, read->field) == number;
        if (!same)
            list.SetText(row, read->field, QString());
    }
    if (!number.isEmpty())
        list.SetText(row, target, number);
    KeepTextColumnsInContactFields(list, row);
}

void FillUsimColumnsFromContactFields(RecordList& list, int row) {
    const NumberField* read = SecondNumberField(list, row);
    list.SetText(row, usim_column::kSecondNumber, read ? list.Text(row, read->field) : QString());
    list.SetText(row, usim_column::kNumberType, read ? QString::fromLatin1(read->type) : QString());
    list.SetText(row, usim_column::kEmail, list.Text(row, contact_field::kPersonalEmail));
    list.SetText(row, usim_column::kSecondName, list.Text(row, contact_field::kNickname));
    list.SetText(row, usim_column::kGroup, list.Text(row, contact_field::kHobby));
}

void MergeUsimColumnsWithContactFields(RecordList& list, int row) {
    const bool noNumber = list.Text(row, usim_column::kSecondNumber).isEmpty();
    if (noNumber) {
        if (const NumberField* read = SecondNumberField(list, row)) {
            list.SetText(row, usim_column::kSecondNumber, list.Text(row, read->field));
            list.SetText(row, usim_column::kNumberType, QString::fromLatin1(read->type));
        }
    }
    for (const auto& [column, field] :
         {std::pair{usim_column::kEmail, contact_field::kPersonalEmail},
          std::pair{usim_column::kSecondName, contact_field::kNickname},
          std::pair{usim_column::kGroup, contact_field::kHobby}}) {
        if (list.Text(row, column).isEmpty())
            list.SetText(row, column, list.Text(row, field));
    }
    KeepUsimColumnsInContactFields(list, row);
}

bool HoldsUsimValues(const RecordList& list, int used) {
    if (list.Columns() < usim_column::kCount)
        return false;
    for (int row = 1; row <= std::min(used, list.LastSlot()); ++row) {
        for (int column = usim_column::kSecondNumber; column <= usim_column::kGroup; ++column) {
            if (!list.Text(row, column).isEmpty())
                return true;
        }
    }
    return false;
}

}  // namespace pellucard
