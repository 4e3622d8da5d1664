#include "records/vcard_usim.h"

#include "records/usim_fields.h"

namespace pellucard {

void AddUsimFields(VCardContact& contact, const RecordList& list, int row) {
    const auto text = [&](int column) { return TrimBlanks(list.Text(row, column)); };
    const QString second = text(usim_column::kSecondNumber);
    const QString type = text(usim_column::kNumberType);
    const QStringList types = VCardTypesOfNumberType(type);
    if (!second.isEmpty() && contact.phones.isEmpty())
        contact.extensions.append({kSecondNumberOnlyKey, QStringLiteral("TRUE")});
    if (!second.isEmpty())
        contact.phones.append({second, types});
    // The text itself whenever the types would come back as another one ("Handy" comes back
    // as "Mobile"), and a type without a number too, so that nothing of the row is lost.
    if (!type.isEmpty() && (second.isEmpty() || NumberTypeOfVCardTypes(types) != type))
        contact.extensions.append({kSecondNumberTypeKey, type});
    if (!text(usim_column::kEmail).isEmpty())
        contact.emails.append({text(usim_column::kEmail), {QStringLiteral("internet")}});
    contact.nickname = text(usim_column::kSecondName);
    if (!text(usim_column::kGroup).isEmpty())
        contact.categories.append(text(usim_column::kGroup));
}

UsimEntry UsimEntryOf(const VCardContact& contact) {
    UsimEntry entry;
    VCardContact& rest = entry.rest;
    rest = contact;
    rest.phones.clear();
    QList<const VCardTyped*> numbers;
    for (const VCardTyped& phone : contact.phones) {
        if (phone.value.isEmpty())
            continue;
        if (numbers.size() < 2)
            numbers.append(&phone);
        else
            rest.phones.append(phone);
    }
    const bool secondOnly =
        contact.Extension(kSecondNumberOnlyKey).compare(u"TRUE", Qt::CaseInsensitive) == 0;
    if (numbers.size() == 1 && secondOnly)
        numbers.prepend(nullptr);  // the entry's number is empty
    if (!numbers.isEmpty() && numbers[0] != nullptr)
        entry.number = numbers[0]->value;
    const QString typeText = contact.Extension(kSecondNumberTypeKey);
    if (numbers.size() > 1) {
        entry.secondNumber = numbers[1]->value;
        entry.numberType = NumberTypeOfVCardTypes(numbers[1]->types);
    }
    // The type text as it was written wins over the one the types give.
    if (!typeText.isEmpty())
        entry.numberType = typeText;
    rest.extensions.removeIf([](const auto& extension) {
        return extension.first == kSecondNumberTypeKey || extension.first == kSecondNumberOnlyKey;
    });
    if (!rest.emails.isEmpty())
        entry.email = rest.emails.takeFirst().value;
    entry.secondName = contact.nickname;
    rest.nickname.clear();
    if (!rest.categories.isEmpty())
        entry.group = rest.categories.takeFirst();
    return entry;
}

}  // namespace pellucard
