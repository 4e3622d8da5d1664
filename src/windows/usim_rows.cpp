#include "windows/usim_rows.h"

#include <algorithm>

#include "records/usim_columns.h"
#include "records/usim_contact_fields.h"

namespace pellucard {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList texts(const std::vector<std::string>& names) {
    QStringList list;
    for (const auto& name : names)
        list.append(fromUtf8(name));
    return list;
}

}  // namespace

std::size_t shownNumberSlot(const UsimContact& contact) {
    const auto found = std::find_if(contact.numbers.begin(), contact.numbers.end(),
                                    [](const ContactNumber& n) { return !n.number.empty(); });
    return found == contact.numbers.end()
               ? 0
               : static_cast<std::size_t>(found - contact.numbers.begin());
}

std::size_t shownEmailSlot(const UsimContact& contact) {
    const auto found = std::find_if(contact.emails.begin(), contact.emails.end(),
                                    [](const std::string& e) { return !e.empty(); });
    return found == contact.emails.end() ? 0
                                         : static_cast<std::size_t>(found - contact.emails.begin());
}

UsimRowFields rowFieldsOf(const UsimContact& contact) {
    UsimRowFields fields;
    const std::size_t number = shownNumberSlot(contact);
    if (number < contact.numbers.size()) {
        fields.secondNumber = fromUtf8(contact.numbers[number].number);
        fields.type = fromUtf8(contact.numbers[number].type);
    }
    const std::size_t email = shownEmailSlot(contact);
    if (email < contact.emails.size())
        fields.email = fromUtf8(contact.emails[email]);
    fields.secondName = fromUtf8(contact.secondName);
    fields.group = JoinGroups(texts(contact.groups));
    return fields;
}

UsimRowFields usimFieldsOfRow(const RecordList& list, int row) {
    return {list.Text(row, usim_column::kSecondNumber), list.Text(row, usim_column::kNumberType),
            list.Text(row, usim_column::kEmail), list.Text(row, usim_column::kSecondName),
            list.Text(row, usim_column::kGroup)};
}

void setUsimFieldsOfRow(RecordList& list, int row, const UsimRowFields& fields) {
    list.SetText(row, usim_column::kSecondNumber, fields.secondNumber);
    list.SetText(row, usim_column::kNumberType, fields.type);
    list.SetText(row, usim_column::kEmail, fields.email);
    list.SetText(row, usim_column::kSecondName, fields.secondName);
    list.SetText(row, usim_column::kGroup, fields.group);
}

UsimContact contactWithRowFields(UsimContact base, const UsimRowFields& fields, bool rowHoldsEntry,
                                 const std::vector<std::string>& types,
                                 const std::vector<std::string>& groups) {
    if (!rowHoldsEntry)
        return withoutUsimFields(base);
    const std::size_t number = shownNumberSlot(base);
    ContactNumber shown;
    shown.number = TrimBlanks(fields.secondNumber).toStdString();
    if (!shown.number.empty())
        shown.type = MatchNumberType(fields.type.trimmed(), texts(types)).toStdString();
    if (number < base.numbers.size())
        base.numbers[number] = shown;
    else if (!shown.number.empty())
        base.numbers.push_back(shown);  // more than the card has room for: it refuses
    const std::size_t email = shownEmailSlot(base);
    const std::string address = fields.email.trimmed().toStdString();
    if (email < base.emails.size())
        base.emails[email] = address;
    else if (!address.empty())
        base.emails.push_back(address);
    base.secondName = fields.secondName.toStdString();
    base.groups.clear();
    const QStringList offered = texts(groups);
    for (const QString& group : SplitGroups(fields.group)) {
        const auto known = std::find_if(offered.begin(), offered.end(), [&](const QString& name) {
            return name.compare(group, Qt::CaseInsensitive) == 0;
        });
        base.groups.push_back((known != offered.end() ? *known : group).toStdString());
    }
    return base;
}

UsimContact withoutUsimFields(UsimContact contact) {
    for (auto& number : contact.numbers)
        number = {};
    for (auto& email : contact.emails)
        email.clear();
    contact.secondName.clear();
    contact.groups.clear();
    return contact;
}

bool usimFieldsDiffer(const UsimContact& a, const UsimContact& b) {
    const auto numberOf = [](const std::vector<ContactNumber>& numbers, std::size_t i) {
        return i < numbers.size() ? numbers[i] : ContactNumber{};
    };
    const auto emailOf = [](const std::vector<std::string>& emails, std::size_t i) {
        return i < emails.size() ? emails[i] : std::string();
    };
    for (std::size_t i = 0; i < std::max(a.numbers.size(), b.numbers.size()); ++i) {
        const ContactNumber x = numberOf(a.numbers, i);
        const ContactNumber y = numberOf(b.numbers, i);
        // A type without a number is no value.
        if (x.number != y.number || (!x.number.empty() && x.type != y.type))
            return true;
    }
    for (std::size_t i = 0; i < std::max(a.emails.size(), b.emails.size()); ++i) {
        if (emailOf(a.emails, i) != emailOf(b.emails, i))
            return true;
    }
    return a.secondName != b.secondName || a.groups != b.groups;
}

std::optional<UsimContact> UsimCardBook::baseFor(qint32 tag, int slot, const QString& name,
                                                 const QString& number) const {
    if (const auto read = byTag.find(tag); tag != 0 && read != byTag.end())
        return read->second;
    const auto held = bySlot.find(slot);
    if (held == bySlot.end())
        return std::nullopt;
    const std::string rowName = TrimBlanks(name).toStdString();
    const std::string rowNumber = TrimBlanks(number).toStdString();
    if ((!rowName.empty() && rowName == held->second.name) ||
        (!rowNumber.empty() && rowNumber == held->second.number))
        return held->second;
    return std::nullopt;
}

}  // namespace pellucard
