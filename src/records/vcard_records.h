#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

#include "records/record_list.h"
#include "records/vcard.h"

namespace pellucard {

// Record lists to vCards and back. Both kinds of list have the 27 columns of a contact file:
// the phone book uses the name (1) and number (2); a personal record all 25 fields. A USIM
// phone book's list has five columns more (vcard_usim.h tells how they travel).
//
// A personal record maps its Name to FN and N, Alias to FN when there is no Name (and to
// X-PELLUCARD-ALIAS when FN does not already say it), its six numbers to TEL with their types,
// the two e-mail addresses, the home and office addresses, the date of birth (BDAY), nickname,
// homepage (URL), note, sex (GENDER in 4.0, X-GENDER before) and, as X-PELLUCARD- properties,
// hobby and importance.

enum class VCardListKind { PhoneBook, Person };

VCardContact ContactOfRow(const RecordList& list, int row, VCardListKind kind);

// The vCards of the rows 1..usedCount that hold something, in slot order.
QByteArray VCardsOfRows(const RecordList& list, int usedCount, VCardListKind kind,
                        VCardVersion version);

// Writes those vCards to `path`, replacing the file only once all of it was written. A failure
// is reported to the user in `languageIndex` and gives false.
bool ExportVCards(const RecordList& list, int usedCount, VCardListKind kind, VCardVersion version,
                  const QString& path, int languageIndex);

// Reads the vCard file at `path`. A file that cannot be read, is too large or holds no vCard
// is reported to the user and gives false.
bool ReadVCardFile(const QString& path, VCardFile& file, int languageIndex);

// How many leading characters of a name a name field keeps; an empty NameFit keeps every name
// whole (JSON, delimited text and vCard hold names of any length).
using NameFit = std::function<qsizetype(const QString&)>;
// A field of a fixed number of characters (the computer-side phone book list).
NameFit CharacterNameFit(int characters);
// The alpha field of a card's phone book record (record length - 14 bytes), in the GSM
// alphabet or the UCS2 form that holds the most.
NameFit CardNameFit(int alphaFieldLength);
// A field of `width` bytes of a record file (record_layout.h, field_text.h).
NameFit RecordFieldNameFit(int width);

struct VCardImport {
    int imported = 0;  // records written into slots
    // What was cut, what found no slot (named), the properties not kept (counted by name) and
    // the lines that could not be read.
    ImportReport report;
};

// Appends the contacts as personal records after `usedCount`, one per contact, while the list
// has slots; values longer than the contact file keeps are cut to it and reported.
VCardImport ImportVCardsAsPersons(RecordList& list, int& usedCount, const VCardFile& file);

// Appends the contacts as phone book entries: one per number, the number's type after the name
// when a contact has several ("Anna Berg (work)"), fitted to what `fit` keeps: the type is
// shortened ("Anna Berg W") or left out before any letter of the name is cut. A contact without
// a number gives an entry with its name alone. What finds no slot, what is cut and each
// property an entry has no place for (e-mail addresses, notes, ...) is reported.
//
// A list with the USIM phone book's columns (usim_fields.h) takes each contact into one entry
// instead: the first number, the second with its type, the first e-mail address, the nickname
// as the second name and the first category as the group; further numbers, addresses and
// categories are reported as not kept.
VCardImport ImportVCardsAsPhoneBook(RecordList& list, int& usedCount, const VCardFile& file,
                                    const NameFit& fit);

// The report of an import: VCardImportReport with the counts, then what was cut, left out, not
// kept or not read, one to a line.
QString VCardImportReport(const VCardImport& result, int languageIndex);

// Tells the user what an import did (OK box); says nothing when all of it went in whole.
void ShowVCardImport(const VCardImport& result, int languageIndex);

// True when `path` names a vCard file (".vcf" or ".vcard", letter case aside).
bool IsVCardPath(const QString& path);

}  // namespace pellucard
