// phonebook add FILE: the file's entries into the card's free slots.
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <utility>

#include "cli/cli.h"
#include "cli/record_runs.h"
#include "cli/usim_contacts.h"
#include "cli/usim_list_columns.h"
#include "cli/usim_precheck.h"
#include "cli/write_check.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"

namespace pellucard::cli {
namespace {

using NameAndNumber = std::pair<std::string, std::string>;

// An entry as the card would hold it once written: what a duplicate is compared by, so that
// adding a file a second time adds nothing, cut names included.
NameAndNumber AsWritten(const PhoneBookSlot& entry, int recordLength) {
    const PhoneBookEntry written = DecodePhoneBookRecord(PhoneBookRecordFor(entry, recordLength));
    return {written.name, written.Number()};
}

struct AddPlan {
    std::vector<PhoneBookSlot> added;       // with the free slot each goes to
    std::map<int, int> addedFrom;           // the file's slot of each, by the slot it goes to
    std::vector<PhoneBookSlot> duplicates;  // with the slot that holds the same already
    std::vector<std::pair<int, int>> duplicateFrom;  // (the slot that holds it, the file's slot)
    Losses noRoom;
};

AddPlan PlanAdding(const std::vector<PhoneBookSlot>& given, const std::vector<Bytes>& records,
                   int recordLength) {
    std::map<NameAndNumber, int> held;
    std::deque<int> free;
    for (std::size_t index = 0; index < records.size(); ++index) {
        const int slot = static_cast<int>(index) + 1;
        const PhoneBookEntry entry = DecodePhoneBookRecord(records[index]);
        if (entry.IsEmpty()) {
            free.push_back(slot);
        } else {
            held.emplace(NameAndNumber{entry.name, entry.Number()}, slot);
        }
    }
    AddPlan plan;
    for (PhoneBookSlot entry : given) {
        if (entry.name.empty() && entry.number.empty())
            continue;
        const NameAndNumber key = AsWritten(entry, recordLength);
        if (const auto same = held.find(key); same != held.end()) {
            plan.duplicateFrom.emplace_back(same->second, entry.slot);
            entry.slot = same->second;
            plan.duplicates.push_back(std::move(entry));
        } else if (free.empty()) {
            plan.noRoom.push_back(
                Loss::Dropped(0, {}, EntryText(entry), "the card has no free slot left"));
        } else {
            plan.addedFrom[free.front()] = entry.slot;
            entry.slot = free.front();
            free.pop_front();
            held.emplace(key, entry.slot);
            plan.added.push_back(std::move(entry));
        }
    }
    return plan;
}

}  // namespace

int AddPhoneBookEntries(const Globals& globals, const Arguments& args) {
    const std::string input = args.Positional(2, "the file to add");
    // The slots a file names do not matter here: its entries go to the free slots in order.
    std::vector<PhoneBookSlot> given;
    // The USIM fields of the file's entries, by the file's slot.
    std::map<int, UsimRow> usimRows;
    if (!IsVCardInput(input))
        given = ReadSlotsToWrite(input, args, false, std::nullopt, &usimRows).phoneBook;
    const UsimFieldsBySlot jsonFields = ReadUsimFields(input);

    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    Pellucard& engine = *session->engine;
    const std::vector<Bytes> records = ReadRecords(engine, globals, CardRecordFile::PhoneBook);
    const int recordLength = engine.PhoneBookRecordLength();
    // The USIM fields go with their entries onto a card that keeps them; a card without a USIM
    // phone book loses a text file's, which stops the command unless --force, and refuses a
    // JSON file's.
    std::unique_ptr<UsimPhoneBook> usimBook;
    if (IsVCardInput(input) || !usimRows.empty() || !jsonFields.empty())
        usimBook = ReadUsimPhoneBook(engine);
    if (!usimBook)
        StopOnLosses(UsimRowLosses(usimRows), args.Flag("force"));
    CheckUsimPhoneBook(engine, jsonFields);
    // A vCard's names are fitted to this card's name field.
    if (IsVCardInput(input))
        given = ReadSlotsToWrite(input, args, false, recordLength - kPhoneBookFooterLength,
                                 usimBook ? &usimRows : nullptr)
                    .phoneBook;
    const AddPlan plan = PlanAdding(given, records, recordLength);
    UsimFieldsBySlot usimFields;
    if (usimBook) {
        std::map<int, UsimRow> moved;
        for (const auto& [to, from] : plan.addedFrom) {
            if (const auto row = usimRows.find(from); row != usimRows.end())
                moved[to] = row->second;
            if (const auto json = jsonFields.find({1, from}); json != jsonFields.end())
                usimFields[{1, to}] = json->second;
        }
        for (auto& [at, fields] : UsimFieldsForCard(*usimBook, moved))
            usimFields[at] = std::move(fields);
    }

    Losses losses = PhoneBookLosses(plan.added, recordLength);
    losses.insert(losses.end(), plan.noRoom.begin(), plan.noRoom.end());
    if (usimBook) {
        // The card's refusals of the fields, found before the first record is written; and the
        // fields of entries left out as already there, which a second add would otherwise hide.
        const Losses refused = CheckUsimFieldsOnCard(*usimBook, usimFields);
        losses.insert(losses.end(), refused.begin(), refused.end());
        std::map<int, UsimRow> duplicateRows;
        UsimFieldsBySlot duplicateFields;
        for (const auto& [held, from] : plan.duplicateFrom) {
            if (const auto row = usimRows.find(from); row != usimRows.end())
                duplicateRows[held] = row->second;
            if (const auto json = jsonFields.find({1, from}); json != jsonFields.end())
                duplicateFields[{1, held}] = json->second;
        }
        for (auto& [at, fields] : UsimFieldsForCard(*usimBook, duplicateRows))
            duplicateFields[at] = std::move(fields);
        const Losses kept = DuplicateFieldLosses(*usimBook, duplicateFields);
        losses.insert(losses.end(), kept.begin(), kept.end());
    }
    StopOnLosses(losses, args.Flag("force"));

    std::map<int, const PhoneBookSlot*> bySlot;
    for (const PhoneBookSlot& entry : plan.added)
        bySlot[entry.slot] = &entry;
    const auto recordFor = [&bySlot](int slot, int length) -> std::optional<Bytes> {
        const auto it = bySlot.find(slot);
        if (it == bySlot.end())
            return std::nullopt;  // every other slot stays as the card holds it
        return PhoneBookRecordFor(*it->second, length);
    };
    // The free slots as the USIM phone book held them before the add: each entry added is a
    // new one there, to be given its identifier and marked and counted.
    std::set<int> addedSlots;
    for (const auto& [slot, entry] : bySlot)
        addedSlots.insert(slot);
    const auto usimBefore = usimBook ? std::optional(UsimEntriesOf(*usimBook, addedSlots))
                                     : UsimEntriesBefore(engine, addedSlots);
    const int last = bySlot.empty() ? 0 : bySlot.rbegin()->first;
    CardRunResult run;
    if (last > 0) {
        run = WriteCardRecords(engine, CardRecordFile::PhoneBook, recordFor,
                               ProgressHooks("writing phone book"), last);
        EndProgress();
        if (!run.Complete()) {
            if (usimBefore)
                WriteUsimFieldsOfPartialRun(engine, run, usimFields, *usimBefore);
            std::string ignored;
            session->SaveVirtualCard(ignored);
            CheckRun(run, engine, globals, CardRecordFile::PhoneBook);
        }
    }
    const UsimWritten usimWritten = WriteUsimFieldsKeepingCard(*session, usimFields, usimBefore);
    SaveCard(*session);
    if (globals.json) {
        const auto entries = [](const std::vector<PhoneBookSlot>& slots) {
            QJsonArray array;
            for (const PhoneBookSlot& entry : slots) {
                array.append(QJsonObject{{"slot", entry.slot},
                                         {"name", QString::fromStdString(entry.name)},
                                         {"number", QString::fromStdString(entry.number)}});
            }
            return array;
        };
        QJsonObject report{{"file", QString::fromStdString(input)},
                           {"records_written", run.done},
                           {"added", entries(plan.added)},
                           {"duplicates", entries(plan.duplicates)},
                           {"losses", LossesJson(ListedLosses())}};
        if (!usimFields.empty())
            report["usim_contacts_written"] = usimWritten.contacts;
        if (usimBefore)
            report["usim_changes_counted"] = usimWritten.changesCounted;
        PrintJson(report);
    } else {
        for (const PhoneBookSlot& entry : plan.added)
            PrintLine("slot " + std::to_string(entry.slot) + ": " + EntryText(entry));
        for (const PhoneBookSlot& entry : plan.duplicates) {
            PrintLine("already in slot " + std::to_string(entry.slot) + ": " + EntryText(entry) +
                      " (left out)");
        }
        PrintLine("added " + Counted(run.done, "entry", "entries") + "; " +
                  std::to_string(plan.duplicates.size()) + " were on the card already" +
                  UsimWrittenText(usimWritten, !usimFields.empty()));
    }
    return kSuccess;
}

}  // namespace pellucard::cli
