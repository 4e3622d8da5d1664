#pragma once

// What must hold for the readers of exchange files on any input: vCard files and card backup
// files. Shared by the libFuzzer targets and by the corpus replay test; each check returns
// nullptr or what went wrong.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "engine/card_backup.h"
#include "records/card_backup_file.h"
#include "records/record_list.h"
#include "records/record_slots.h"
#include "records/vcard.h"
#include "records/vcard_records.h"

namespace pellucard::fuzz {

// Input: a vCard file. Every contact read imports into free slots only, as personal records
// and as phone book entries, and writes out as a vCard that reads back as one contact with
// the same numbers.
inline const char* CheckVCardImport(const std::uint8_t* data, std::size_t size) {
    const VCardFile file =
        ParseVCards(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    RecordList persons(6, 27);
    RenumberRows(persons, 5);
    persons.SetText(1, 1, QStringLiteral("kept"));
    int usedPersons = 1;
    const VCardImport asPersons = ImportVCardsAsPersons(persons, usedPersons, file);
    if (persons.Text(1, 1) != QStringLiteral("kept"))
        return "a personal import wrote over a used slot";
    if (usedPersons != 1 + asPersons.imported || usedPersons > persons.LastSlot())
        return "personal import counts do not add up";

    RecordList phoneBook(6, 5);
    RenumberRows(phoneBook, 5);
    phoneBook.SetText(1, 1, QStringLiteral("kept"));
    int usedEntries = 1;
    const VCardImport asEntries =
        ImportVCardsAsPhoneBook(phoneBook, usedEntries, file, CardNameFit(14));
    if (phoneBook.Text(1, 1) != QStringLiteral("kept"))
        return "a phone book import wrote over a used slot";
    if (usedEntries != 1 + asEntries.imported || usedEntries > phoneBook.LastSlot())
        return "phone book import counts do not add up";

    for (const VCardContact& contact : file.contacts) {
        for (const VCardVersion version :
             {VCardVersion::V21, VCardVersion::V30, VCardVersion::V40}) {
            const VCardFile again = ParseVCards(WriteVCard(contact, version));
            if (again.contacts.size() != 1)
                return "a written contact does not read back as one";
            if (again.contacts[0].phones.size() != contact.phones.size())
                return "a written contact reads back with other numbers";
        }
    }
    return nullptr;
}

// Input: a card backup document. A refused document leaves the backup alone and says why; an
// accepted one reads back the same after it is written out.
inline const char* CheckCardBackup(const std::uint8_t* data, std::size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CardBackup backup;
    backup.iccid = "untouched";
    QString error;
    if (!ParseCardBackup(json, backup, error)) {
        if (backup.iccid != "untouched")
            return "a refused backup changed the backup";
        if (error.isEmpty())
            return "a refused backup gave no reason";
        return nullptr;
    }
    CardBackup again;
    if (!ParseCardBackup(SerializeCardBackup(backup), again, error))
        return "a written backup does not read back";
    if (again.iccid != backup.iccid || again.phase != backup.phase ||
        again.phoneBookRecordLength != backup.phoneBookRecordLength ||
        again.smsRecordLength != backup.smsRecordLength || again.phoneBook != backup.phoneBook ||
        again.sms != backup.sms || again.otherFiles != backup.otherFiles ||
        again.usimPhoneBooks != backup.usimPhoneBooks)
        return "a written backup reads back as another";
    return nullptr;
}

}  // namespace pellucard::fuzz
