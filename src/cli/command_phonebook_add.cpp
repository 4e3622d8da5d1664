// phonebook add FILE: the file's entries into the card's free slots.
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <deque>
#include <map>
#include <utility>

#include "cli/cli.h"
#include "cli/record_runs.h"
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
    std::vector<PhoneBookSlot> duplicates;  // with the slot that holds the same already
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
            entry.slot = same->second;
            plan.duplicates.push_back(std::move(entry));
        } else if (free.empty()) {
            plan.noRoom.push_back(
                Loss::Dropped(0, {}, EntryText(entry), "the card has no free slot left"));
        } else {
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
    if (!IsVCardInput(input))
        given = ReadSlotsToWrite(input, args, false).phoneBook;

    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    Pellucard& engine = *session->engine;
    const std::vector<Bytes> records = ReadRecords(engine, globals, CardRecordFile::PhoneBook);
    const int recordLength = engine.PhoneBookRecordLength();
    // A vCard's names are fitted to this card's name field.
    if (IsVCardInput(input))
        given =
            ReadSlotsToWrite(input, args, false, recordLength - kPhoneBookFooterLength).phoneBook;
    const AddPlan plan = PlanAdding(given, records, recordLength);

    Losses losses = PhoneBookLosses(plan.added, recordLength);
    losses.insert(losses.end(), plan.noRoom.begin(), plan.noRoom.end());
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
    const int last = bySlot.empty() ? 0 : bySlot.rbegin()->first;
    CardRunResult run;
    if (last > 0) {
        run = WriteCardRecords(engine, CardRecordFile::PhoneBook, recordFor,
                               ProgressHooks("writing phone book"), last);
        EndProgress();
        if (!run.Complete()) {
            std::string ignored;
            session->SaveVirtualCard(ignored);
            CheckRun(run, engine, globals, CardRecordFile::PhoneBook);
        }
    }
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
        PrintJson(QJsonObject{{"file", QString::fromStdString(input)},
                              {"records_written", run.done},
                              {"added", entries(plan.added)},
                              {"duplicates", entries(plan.duplicates)},
                              {"losses", LossesJson(ListedLosses())}});
    } else {
        for (const PhoneBookSlot& entry : plan.added)
            PrintLine("slot " + std::to_string(entry.slot) + ": " + EntryText(entry));
        for (const PhoneBookSlot& entry : plan.duplicates) {
            PrintLine("already in slot " + std::to_string(entry.slot) + ": " + EntryText(entry) +
                      " (left out)");
        }
        PrintLine("added " + Counted(run.done, "entry", "entries") + "; " +
                  std::to_string(plan.duplicates.size()) + " were on the card already");
    }
    return kSuccess;
}

}  // namespace pellucard::cli
