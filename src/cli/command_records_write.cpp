// phonebook write FILE and sms write FILE: the slots a file names, onto the card.
#include <QJsonArray>
#include <QJsonObject>

#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "cli/cli.h"
#include "cli/phone_book_files.h"
#include "cli/record_runs.h"
#include "cli/terminal.h"
#include "cli/usim_contacts.h"
#include "cli/usim_list_columns.h"
#include "cli/usim_precheck.h"
#include "cli/write_check.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"

namespace pellucard::cli {
namespace {

template <typename Slot>
std::vector<const Slot*> BySlot(const std::vector<Slot>& given, int count) {
    std::vector<const Slot*> table(static_cast<std::size_t>(count) + 1, nullptr);
    for (const auto& slot : given) {
        if (slot.slot > count) {
            throw Failure{kUsage, "slot " + std::to_string(slot.slot) + " is beyond the card's " +
                                      std::to_string(count) + " records"};
        }
        table[static_cast<std::size_t>(slot.slot)] = &slot;
    }
    return table;
}

std::string SlotList(const std::vector<int>& slots) {
    std::string text;
    for (int slot : slots)
        text += (text.empty() ? "" : ", ") + std::to_string(slot);
    return text;
}

// With --replace, the slots the file does not name that hold something on the card: they are
// written empty. The user is told how many before anything is written and, on a terminal,
// asked unless --yes was given.
std::vector<int> SlotsToEmpty(Pellucard& engine, const Globals& globals, const Arguments& args,
                              const std::set<int>& named, CardRecordFile file) {
    const std::vector<Bytes> records = ReadRecords(engine, globals, file);
    std::vector<int> emptied;
    for (std::size_t index = 0; index < records.size(); ++index) {
        const int slot = static_cast<int>(index) + 1;
        if (!named.contains(slot) && !IsFreeRecord(records[index], file))
            emptied.push_back(slot);
    }
    if (emptied.empty())
        return emptied;
    std::cerr << "pellucard-cli: --replace empties " << Counted(emptied.size(), "slot", "slots")
              << " that the file does not name: " << SlotList(emptied) << '\n';
    if (OnTerminal() && !args.Flag("yes") &&
        !Confirm("Empty them and write the file to the card?")) {
        throw Failure{kCardFailure, "nothing was written"};
    }
    return emptied;
}

}  // namespace

int WriteRecords(const Globals& globals, const Arguments& args, CardRecordFile file) {
    const bool sms = file == CardRecordFile::Sms;
    const std::string input = args.Positional(2, "the file to write");
    // The whole input is checked before the card is touched.
    const bool phoneBook = file == CardRecordFile::PhoneBook;
    SlotsToWrite given;
    // The USIM fields of a vCard or text file's rows, by slot.
    std::map<int, UsimRow> usimRows;
    if (!IsVCardInput(input))
        given = ReadSlotsToWrite(input, args, sms, std::nullopt, phoneBook ? &usimRows : nullptr);
    UsimFieldsBySlot usimFields = phoneBook ? ReadUsimFields(input) : UsimFieldsBySlot{};

    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    Pellucard& engine = *session->engine;
    // PIN2 only for a file the card has, so that no attempt is risked for nothing; the
    // VERIFY selects elsewhere, so the file is entered again after it.
    if (UpdateChvOf(file) == 2) {
        EnterRecords(engine, file);
        PresentPin2(*session, globals, args);
    }
    // A vCard or text file's USIM fields go onto the contacts the card holds; a card without a
    // USIM phone book loses them, which stops the write unless --force. A vCard is read into
    // one entry per contact only for a card that keeps its further number.
    std::unique_ptr<UsimPhoneBook> usimBook;
    if (phoneBook && (IsVCardInput(input) || !usimRows.empty()))
        usimBook = ReadUsimPhoneBook(engine);
    if (!usimBook)
        StopOnLosses(UsimRowLosses(usimRows), args.Flag("force"));
    CheckUsimPhoneBook(engine, usimFields);
    const int count = EnterRecords(engine, file);
    // A vCard's names are fitted to this card's name field, so it is read once that is known.
    if (IsVCardInput(input)) {
        given =
            ReadSlotsToWrite(input, args, sms, engine.RecordLength(file) - kPhoneBookFooterLength,
                             usimBook ? &usimRows : nullptr);
    }
    if (usimBook) {
        for (auto& [at, fields] : UsimFieldsForCard(*usimBook, usimRows))
            usimFields[at] = std::move(fields);
    }
    const auto entries = BySlot(given.phoneBook, count);
    const auto texts = BySlot(given.messages, count);
    CheckCardWrite(given.phoneBook, given.messages, sms, engine.RecordLength(file),
                   args.Flag("force"));
    // The card's refusals of the USIM fields, found before the first record is written.
    if (phoneBook && !usimBook && !usimFields.empty())
        usimBook = ReadUsimPhoneBook(engine);
    if (usimBook)
        StopOnLosses(CheckUsimFieldsOnCard(*usimBook, usimFields), args.Flag("force"));

    std::set<int> named;
    for (const PhoneBookSlot& slot : given.phoneBook)
        named.insert(slot.slot);
    for (const SmsSlot& slot : given.messages)
        named.insert(slot.slot);
    std::vector<int> emptied;
    if (args.Flag("replace"))
        emptied = SlotsToEmpty(engine, globals, args, named, file);
    const std::set<int> toEmpty(emptied.begin(), emptied.end());
    // On a card with a USIM phone book, the entries as they were before their names and numbers
    // are written: a change by that write alone is still marked and counted.
    std::optional<std::map<int, UsimContact>> usimBefore;
    if (file == CardRecordFile::PhoneBook) {
        std::set<int> adnSlots = named;
        adnSlots.insert(emptied.begin(), emptied.end());
        usimBefore = usimBook ? std::optional(UsimEntriesOf(*usimBook, adnSlots))
                              : UsimEntriesBefore(engine, adnSlots);
    }

    // Slots the file does not name stay as the card holds them.
    const auto recordFor = [&](int slot, int length) -> std::optional<Bytes> {
        const auto index = static_cast<std::size_t>(slot);
        if (sms && texts[index])
            return SmsRecordFor(*texts[index], length);
        if (!sms && entries[index])
            return PhoneBookRecordFor(*entries[index], length);
        if (!toEmpty.contains(slot))
            return std::nullopt;
        return sms ? SmsRecordFor(SmsSlot{}, length) : PhoneBookRecordFor(PhoneBookSlot{}, length);
    };
    const std::string what = std::string("writing ") + FileWords(file);
    const CardRunResult run = WriteCardRecords(
        engine, file, recordFor, ProgressHooks(sms ? "writing messages" : what.c_str()), count);
    EndProgress();
    UsimFieldsBySlot usimWrites = usimFields;
    if (file == CardRecordFile::PhoneBook) {
        std::vector<int> deleted = emptied;
        for (const PhoneBookSlot& slot : given.phoneBook) {
            if (slot.name.empty() && slot.number.empty())
                deleted.push_back(slot.slot);
        }
        ClearFieldsOfEmptiedSlots(usimWrites, deleted);
    }
    // What was written stays written: keep it in a virtual card's image before failing.
    if (!run.Complete()) {
        if (usimBefore)
            WriteUsimFieldsOfPartialRun(engine, run, usimWrites, *usimBefore);
        std::string ignored;
        session->SaveVirtualCard(ignored);
        CheckRun(run, engine, globals, file);
    }
    const UsimWritten usimWritten = WriteUsimFieldsKeepingCard(*session, usimWrites, usimBefore);
    SaveCard(*session);
    if (globals.json) {
        std::set<int> written = named;
        written.insert(emptied.begin(), emptied.end());
        QJsonArray slotsWritten;
        for (int slot : written)
            slotsWritten.append(slot);
        QJsonArray slotsEmptied;
        for (int slot : emptied)
            slotsEmptied.append(slot);
        QJsonObject report{{"file", QString::fromStdString(input)},
                           {"records_written", run.done},
                           {"records_left", run.left},
                           {"slots_written", slotsWritten},
                           {"slots_emptied", slotsEmptied},
                           {"losses", LossesJson(ListedLosses())}};
        // Only a file with the fields of a USIM phone book has USIM contacts to write.
        if (!usimFields.empty() || usimWritten.contacts > 0)
            report["usim_contacts_written"] = usimWritten.contacts;
        if (usimBefore)
            report["usim_changes_counted"] = usimWritten.changesCounted;
        PrintJson(report);
    } else {
        PrintLine("wrote " + Counted(run.done, "record", "records") +
                  (emptied.empty() ? std::string()
                                   : " (" + std::to_string(emptied.size()) + " of them emptied)") +
                  "; " + std::to_string(run.left) + " left as they were" +
                  UsimWrittenText(usimWritten, !usimFields.empty()));
    }
    return kSuccess;
}

}  // namespace pellucard::cli
