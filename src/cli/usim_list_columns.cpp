// A USIM phone book's fields in the columns of a phone book list, and from there to the card.
#include "cli/usim_list_columns.h"

#include <algorithm>

#include "catalogue/catalogue.h"
#include "records/usim_contact_fields.h"
#include "records/usim_fields.h"

namespace pellucard::cli {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList Texts(const std::vector<std::string>& names) {
    QStringList texts;
    for (const std::string& name : names)
        texts.append(Q(name));
    return texts;
}

bool Titled(const RecordList& list, int column) {
    return !TrimBlanks(list.Text(0, column)).isEmpty();
}

// The first slot that holds a value, else the first: the one a row shows.
template <typename Slots, typename Holds>
std::size_t ShownSlot(const Slots& slots, Holds holds) {
    const auto found = std::find_if(slots.begin(), slots.end(), holds);
    return found == slots.end() ? 0 : static_cast<std::size_t>(found - slots.begin());
}

bool HoldsNumber(const QJsonValue& value) {
    return !value.toObject()["number"].toString().isEmpty();
}

bool HoldsText(const QJsonValue& value) {
    return !value.toString().isEmpty();
}

}  // namespace

void AddUsimColumns(CardList& cards) {
    RecordList& list = *cards.list;
    if (list.Columns() < usim_column::kCount)
        list.SetColumns(usim_column::kCount);
    for (std::size_t i = 0; i < kUsimColumns.size(); ++i)
        list.SetText(0, kUsimColumns[i], Message(kUsimColumnTitles[i], 0));
}

bool HoldsUsimFields(const QJsonArray& entries) {
    return std::any_of(entries.begin(), entries.end(), [](const QJsonValue& value) {
        const QJsonObject o = value.toObject();
        return o["block"].toInt(1) == 1 && (o.contains("numbers") || o.contains("emails") ||
                                            o.contains("second_name") || o.contains("groups"));
    });
}

Losses FillUsimColumns(CardList& cards, const QJsonArray& entries) {
    constexpr const char* kWhy = "the file keeps one of them for each entry";
    Losses losses;
    RecordList& list = *cards.list;
    for (const QJsonValue& value : entries) {
        const QJsonObject o = value.toObject();
        const int row = o["slot"].toInt();
        if (o["block"].toInt(1) != 1 || row < 1 || row > list.LastSlot())
            continue;
        const QJsonArray numbers = o["numbers"].toArray();
        const QJsonArray emails = o["emails"].toArray();
        const std::size_t number = ShownSlot(numbers, HoldsNumber);
        const std::size_t email = ShownSlot(emails, HoldsText);
        for (std::size_t i = 0; i < static_cast<std::size_t>(numbers.size()); ++i) {
            const QJsonObject n = numbers[qsizetype(i)].toObject();
            if (i == number) {
                list.SetText(row, usim_column::kSecondNumber, n["number"].toString());
                list.SetText(row, usim_column::kNumberType, n["type"].toString());
            } else if (HoldsNumber(n)) {
                const QString type = n["type"].toString();
                losses.push_back(Loss::Dropped(
                    row, "numbers",
                    (n["number"].toString() + (type.isEmpty() ? "" : " (" + type + ")"))
                        .toStdString(),
                    kWhy));
            }
        }
        for (std::size_t i = 0; i < static_cast<std::size_t>(emails.size()); ++i) {
            const QString address = emails[qsizetype(i)].toString();
            if (i == email)
                list.SetText(row, usim_column::kEmail, address);
            else if (!address.isEmpty())
                losses.push_back(Loss::Dropped(row, "emails", address.toStdString(), kWhy));
        }
        list.SetText(row, usim_column::kSecondName, o["second_name"].toString());
        QStringList groups;
        for (const QJsonValue& group : o["groups"].toArray())
            groups.append(group.toString());
        list.SetText(row, usim_column::kGroup, JoinGroups(groups));
    }
    return losses;
}

Losses LaterBlockLosses(const QJsonArray& entries) {
    Losses losses;
    for (const QJsonValue& value : entries) {
        const QJsonObject o = value.toObject();
        const int block = o["block"].toInt(1);
        const QString entry = (o["name"].toString() + u' ' + o["number"].toString()).trimmed();
        if (block > 1 && !entry.isEmpty())
            losses.push_back(Loss::Dropped(o["slot"].toInt(), "block " + std::to_string(block),
                                           entry.toStdString(),
                                           "of a later block of a USIM phone book"));
    }
    return losses;
}

void AddUsimJson(QJsonObject& entry, const RecordList& list, int row) {
    if (!HasUsimColumns(list))
        return;
    const auto text = [&](int column) { return TrimBlanks(list.Text(row, column)); };
    if (Titled(list, usim_column::kSecondNumber)) {
        QJsonArray numbers;
        if (!text(usim_column::kSecondNumber).isEmpty())
            numbers.append(QJsonObject{{"number", text(usim_column::kSecondNumber)},
                                       {"type", text(usim_column::kNumberType)}});
        entry["numbers"] = numbers;
    }
    if (Titled(list, usim_column::kEmail)) {
        QJsonArray emails;
        if (!text(usim_column::kEmail).isEmpty())
            emails.append(text(usim_column::kEmail));
        entry["emails"] = emails;
    }
    if (Titled(list, usim_column::kSecondName))
        entry["second_name"] = text(usim_column::kSecondName);
    if (Titled(list, usim_column::kGroup))
        entry["groups"] = QJsonArray::fromStringList(SplitGroups(text(usim_column::kGroup)));
}

bool CarriedByUsimColumns(const RecordList& list, int row, int column) {
    if (!HasUsimColumns(list))
        return false;
    const auto carried = [&](int usimColumn) {
        return TrimBlanks(list.Text(row, column)) == TrimBlanks(list.Text(row, usimColumn));
    };
    switch (column) {
        case contact_field::kPersonalEmail:
            return carried(usim_column::kEmail);
        case contact_field::kNickname:
            return carried(usim_column::kSecondName);
        case contact_field::kHobby:
            return carried(usim_column::kGroup);
        case contact_field::kMobilePhone:
        case contact_field::kHomeTelephone:
        case contact_field::kOfficeTelephone:
        case contact_field::kOfficeFax:
        case contact_field::kHomeFax:
            return carried(usim_column::kSecondNumber);
        default:
            return false;
    }
}

std::map<int, UsimRow> UsimRowsOf(const CardList& cards) {
    std::map<int, UsimRow> rows;
    const RecordList& list = *cards.list;
    if (!HasUsimColumns(list))
        return rows;
    const auto given = [&](int row, int column) -> std::optional<QString> {
        if (!Titled(list, column))
            return std::nullopt;
        return TrimBlanks(list.Text(row, column));
    };
    for (int row = 1; row <= std::min(cards.used, list.LastSlot()); ++row) {
        const QString name = TrimBlanks(list.Text(row, 1));
        const QString number = TrimBlanks(list.Text(row, 2));
        if (name.isEmpty() && number.isEmpty())
            continue;  // an emptied slot: ClearFieldsOfEmptiedSlots takes its fields along
        UsimRow& fields = rows[row];
        fields.name = name;
        fields.number = number;
        fields.secondNumber = given(row, usim_column::kSecondNumber);
        fields.type = given(row, usim_column::kNumberType).value_or(QString());
        fields.email = given(row, usim_column::kEmail);
        fields.secondName = given(row, usim_column::kSecondName);
        fields.group = given(row, usim_column::kGroup);
    }
    return rows;
}

Losses UsimRowLosses(const std::map<int, UsimRow>& rows) {
    constexpr const char* kWhy = "the card has no USIM phone book";
    Losses losses;
    const auto lose = [&](int slot, const char* field, const std::optional<QString>& value) {
        if (value && !value->isEmpty())
            losses.push_back(Loss::Dropped(slot, field, value->toStdString(), kWhy));
    };
    for (const auto& [slot, row] : rows) {
        lose(slot, "numbers",
             row.secondNumber && !row.type.isEmpty() && !row.secondNumber->isEmpty()
                 ? *row.secondNumber + " (" + row.type + ")"
                 : row.secondNumber);
        lose(slot, "emails", row.email);
        lose(slot, "second_name", row.secondName);
        lose(slot, "groups", row.group);
    }
    return losses;
}

bool IsContactHeld(const UsimContact& held, const UsimRow& row) {
    return IsSameContact(row.name.toStdString(), row.number.toStdString(), held);
}

UsimFieldsBySlot UsimFieldsForCard(const UsimPhoneBook& book, const std::map<int, UsimRow>& rows) {
    UsimFieldsBySlot fields;
    for (const auto& [slot, row] : rows) {
        const int index = book.IndexOf(1, slot);
        UsimContact held;
        QStringList types;
        QStringList offered;
        if (index >= 1) {
            held = book.Contacts()[static_cast<std::size_t>(index - 1)];
            types = Texts(book.NumberTypes(index));
            offered = Texts(book.GroupNames(index));
        }
        UsimFields& given = fields[{1, slot}];
        if (index >= 1 && !IsContactHeld(held, row)) {
            // Another contact takes the slot: the old one's fields go with it, those the row
            // does not show or its file does not give included; the card's slots stay.
            for (ContactNumber& number : held.numbers)
                number = {};
            for (std::string& email : held.emails)
                email.clear();
            given.numbers = held.numbers;
            given.emails = held.emails;
            given.secondName.emplace();
            given.groups.emplace();
        }
        if (row.secondNumber) {
            std::vector<ContactNumber> numbers = held.numbers;
            const std::size_t shown =
                ShownSlot(numbers, [](const ContactNumber& n) { return !n.number.empty(); });
            ContactNumber number{row.secondNumber->toStdString(), {}};
            if (!number.number.empty())
                number.type = MatchNumberType(row.type, types).toStdString();
            if (shown < numbers.size())
                numbers[shown] = number;
            else if (!number.number.empty())
                numbers.push_back(number);  // more than the card has room for: it refuses
            given.numbers = numbers;
        }
        if (row.email) {
            std::vector<std::string> emails = held.emails;
            const std::size_t shown =
                ShownSlot(emails, [](const std::string& e) { return !e.empty(); });
            if (shown < emails.size())
                emails[shown] = row.email->toStdString();
            else if (!row.email->isEmpty())
                emails.push_back(row.email->toStdString());
            given.emails = emails;
        }
        if (row.secondName)
            given.secondName = row.secondName->toStdString();
        if (row.group) {
            std::vector<std::string> groups;
            for (const QString& group : SplitGroups(*row.group)) {
                const auto known =
                    std::find_if(offered.begin(), offered.end(), [&](const QString& name) {
                        return name.compare(group, Qt::CaseInsensitive) == 0;
                    });
                groups.push_back((known != offered.end() ? *known : group).toStdString());
            }
            given.groups = groups;
        }
    }
    return fields;
}

}  // namespace pellucard::cli
