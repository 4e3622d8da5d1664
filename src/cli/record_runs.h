#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/record_json.h"
#include "engine/bytes.h"
#include "engine/card_runs.h"

namespace pellucard {
class Pellucard;
}

namespace pellucard::cli {

struct UsimRow;

// What the phonebook and sms commands share: the card's record files read or entered whole,
// and the slots a file gives them to write.

// Progress lines on stderr while a run goes on.
CardRunHooks ProgressHooks(const char* what);

// Fails with a message that says where and why the run ended, unless it is complete.
void CheckRun(const CardRunResult& run, const Pellucard& engine, const Globals& globals,
              CardRecordFile file);

// Selects the file and gives its record count; fails when the card does not open it.
int EnterRecords(Pellucard& engine, CardRecordFile file);

// Every record of the file as the card holds it, record n at index n - 1.
std::vector<Bytes> ReadRecords(Pellucard& engine, const Globals& globals, CardRecordFile file);

// Whether a record of the card holds nothing: an empty entry of a file in the phone book's
// layout, a free SMS record.
bool IsFreeRecord(const Bytes& record, CardRecordFile file);

// The file in words, for messages: "phone book", "fixed dialling numbers", ...
const char* FileWords(CardRecordFile file);

// The slots a file names for a write, in the file's order: every entry of a JSON file (an entry
// with no name and number, or status 0, names its slot to be emptied); the slots of a record
// or text file that hold something.
struct SlotsToWrite {
    std::vector<PhoneBookSlot> phoneBook;
    std::vector<SmsSlot> messages;
};
// A vCard's names are fitted to the card's name field when its length is given (read the file
// again once the card's phone book was entered).
// With `usimRows`, a phone book's text or vCard file is read with the USIM columns, and the
// rows' values of them are put there.
SlotsToWrite ReadSlotsToWrite(const std::string& path, const Arguments& args, bool sms,
                              std::optional<int> cardNameLength = std::nullopt,
                              std::map<int, UsimRow>* usimRows = nullptr);
// True when `path` is a vCard file, whose names depend on the card's name field.
bool IsVCardInput(const std::string& path);

// `phonebook write FILE` and `sms write FILE`: the slots the file names, onto the card.
int WriteRecords(const Globals& globals, const Arguments& args, CardRecordFile file);
// `phonebook add FILE`: the file's entries into the card's free slots.
int AddPhoneBookEntries(const Globals& globals, const Arguments& args);

}  // namespace pellucard::cli
