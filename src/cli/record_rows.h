#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "cli/record_json.h"
#include "records/record_file.h"
#include "records/record_list.h"

namespace pellucard::cli {

// The card's records as the program's windows keep them: a record list in which slot n holds
// card record n. Phone book records live in a contact list (27 columns: the name in column 1,
// the number in 2, the personal record fields in 3 to 25); messages in an SMS list (10
// columns: address, typed text, shown text, status, time stamp, service centre, validity text
// and code). These are the lists that .SPB and .sms files store.

enum class RecordKind { PhoneBook, Sms };

struct CardList {
    RecordKind kind = RecordKind::PhoneBook;
    std::unique_ptr<RecordList> list;
    int used = 0;
    int rowsLeftOut = 0;  // rows of a text file beyond what a list can hold
    // What an .sms file keeps after the fields of a slot: the part marks of messages sent in
    // parts, so that the windows join them again when they open the file.
    SlotTrailers trailers;
};

// An empty list of the kind's columns with `slots` slots and the English column titles.
CardList EmptyCardList(RecordKind kind, int slotCount);

// The list columns that have a title, in order: what text files hold.
QList<int> TitledColumns(RecordKind kind);
// The title of a column in language `languageIndex`; empty for the untitled ones.
QString ColumnTitle(RecordKind kind, int column, int languageIndex);

// The status words of the SMS list (English in every language) and the status byte they
// stand for; 0 when the text is none of them.
QString SmsStatusText(int status);
int SmsStatusOf(const QString& text);

// The relative validity period as the SMS list shows it ("2Hour 30Minutes", "1Week 2Day");
// empty outside 0..255. ValidityOfText reads such a text back (letter case aside), or gives
// nothing when no code has that text.
QString ValidityText(int validity);
std::optional<int> ValidityOfText(const QString& text);

// Card records into list rows (slot n into row n) and back. Rows without a record give no
// slot unless `withEmpty` is set (the JSON of a read lists every slot). A message slot whose
// card bytes are a part of a concatenated message, and still say the slot's sender and text,
// gets its part mark among the list's trailers.
CardList FromPhoneBookSlots(const std::vector<PhoneBookSlot>& slots, int slotCount);
CardList FromSmsSlots(const std::vector<SmsSlot>& slots, int slotCount);
std::vector<PhoneBookSlot> PhoneBookSlotsOf(const CardList& cards, bool withEmpty);
std::vector<SmsSlot> SmsSlotsOf(const CardList& cards, bool withEmpty);

// The JSON of a message slot, as `sms read --json` writes it (without the raw bytes).
QJsonObject SmsSlotJson(const SmsSlot& slot);

}  // namespace pellucard::cli
