// phonebook read|write|add and sms read|write: the card's record files.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "cli/cli.h"
#include "cli/loss_report.h"
#include "cli/phone_book_files.h"
#include "cli/phone_book_listing.h"
#include "cli/record_files.h"
#include "cli/record_json.h"
#include "cli/record_runs.h"
#include "cli/usim_contacts.h"
#include "cli/usim_list_columns.h"
#include "engine/pellucard.h"
#include "records/save_file.h"
#include "records/vcard_records.h"

namespace pellucard::cli {

namespace {

// The file that `read -o FILE` (or --output FILE) writes; empty when none was given.
std::string OutputPath(const Arguments& args) {
    const auto& words = args.Positional();
    if (words.size() > 2 && words[2] == "-o")
        return args.Positional(3, "the file after -o");
    if (words.size() > 2)
        throw Failure{kUsage, "unexpected '" + words[2] + "'"};
    return args.Option("output").value_or(std::string());
}

SmsSlot SlotOfMessage(int slot, const SmsRecord& message) {
    SmsSlot s;
    s.slot = slot;
    s.status = message.status;
    s.address = message.AddressText();
    s.text = message.text;
    s.serviceCentre = message.ServiceCentreNumber();
    s.timeStamp = message.timeStamp;
    s.validity = message.validity;
    s.validityGiven =
        message.IsMessage() && !message.IsReceived() && message.validityFormat != kValidityNone;
    s.raw = message.raw;
    return s;
}

void SaveJson(const std::string& path, const QJsonArray& array) {
    const QByteArray bytes = QJsonDocument(array).toJson(QJsonDocument::Indented);
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || !WriteWhole(file, bytes) || !CommitWhenComplete(file)) {
        throw Failure{kCardFailure, path + ": " + file.errorString().toStdString()};
    }
}

int ReadAll(const Globals& globals, const Arguments& args, CardRecordFile file) {
    const bool sms = file == CardRecordFile::Sms;
    const std::string output = OutputPath(args);
    const FileOptions options = FileOptionsOf(args);
    // Check the output's name before reading the whole card.
    const bool toFile = !output.empty();
    const bool toJsonFile = toFile && FormatOf(output) == FileFormat::Json;
    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    const std::vector<Bytes> records = ReadRecords(*session->engine, globals, file);
    const int count = static_cast<int>(records.size());
    // The plain-text listing of the phone book is made from the same JSON as --json prints.
    const bool listing = !toFile && !globals.json;
    const bool asJson = globals.json || toJsonFile || (listing && !sms);
    // A vCard, text or contact file of the phone book takes its USIM fields from the same JSON.
    const bool usimColumns = toFile && !toJsonFile && file == CardRecordFile::PhoneBook;
    QJsonArray out;
    std::vector<PhoneBookSlot> entries;
    std::vector<SmsSlot> messages;
    for (int slot = 1; slot <= count; ++slot) {
        const Bytes& record = records[static_cast<std::size_t>(slot - 1)];
        if (sms) {
            const auto message = DecodeSmsRecord(record);
            messages.push_back(SlotOfMessage(slot, message));
            if (globals.json || toJsonFile) {
                out.append(SmsJson(slot, message));
            } else if (!toFile && message.IsMessage()) {
                PrintLine(std::to_string(slot) + "\t" + std::to_string(message.status) + "\t" +
                          message.AddressText() + "\t" + message.text);
            }
        } else {
            const auto entry = DecodePhoneBookRecord(record);
            entries.push_back({slot, entry.name, entry.Number(), entry.raw});
            if (asJson || usimColumns)
                out.append(PhoneBookJson(slot, entry));
        }
    }
    // The USIM phone book's fields belong to the phone book's entries, not to those of the
    // fixed dialling or other files in its layout.
    if ((asJson || usimColumns) && file == CardRecordFile::PhoneBook)
        AddUsimFields(*session->engine, out);
    if (listing && !sms) {
        for (const std::string& line : PhoneBookListing(out))
            PrintLine(line);
    }
    int inUse = 0;
    for (const PhoneBookSlot& entry : entries)
        inUse += entry.name.empty() && entry.number.empty() ? 0 : 1;
    for (const SmsSlot& message : messages)
        inUse += message.status != 0 ? 1 : 0;
    int written = inUse;
    if (toJsonFile) {
        SaveJson(output, out);
    } else if (toFile) {
        // The card-side list as the windows keep it: slot n holds card record n.
        CardList cards = sms ? FromSmsSlots(messages, count) : FromPhoneBookSlots(entries, count);
        if (usimColumns && HoldsUsimFields(out)) {
            AddUsimColumns(cards);
            Losses losses = FillUsimColumns(cards, out);
            const Losses later = LaterBlockLosses(out);
            losses.insert(losses.end(), later.begin(), later.end());
            StopOnLosses(losses, options.force);
        }
        written = WriteCardFile(cards, output, options);
    } else if (globals.json) {
        PrintJson(out);
    }
    if (toFile && globals.json) {
        PrintJson(QJsonObject{{"file", QString::fromStdString(output)},
                              {"records_read", count},
                              {"records_in_use", inUse},
                              {"records_written", written},
                              {"losses", LossesJson(ListedLosses())}});
    } else if (toFile) {
        PrintLine("read " + std::to_string(count) + " records, " + std::to_string(inUse) +
                  " in use; wrote " + std::to_string(written) + " to " + output);
    }
    return kSuccess;
}

int RunRecords(const Globals& globals, const Arguments& args, bool sms) {
    if (sms)
        args.Expect({"output", "delimiter", "kind"});
    else
        args.Expect({"output", "delimiter", "kind", "file", "pin2"});
    const std::string verb = args.Positional(1, sms ? "read or write" : "read, write or add");
    const CardRecordFile file = sms ? CardRecordFile::Sms : PhoneBookFileOption(args, verb);
    if (verb == "read")
        return ReadAll(globals, args, file);
    if (verb == "write")
        return WriteRecords(globals, args, file);
    if (verb == "add" && !sms)
        return AddPhoneBookEntries(globals, args);
    throw Failure{kUsage, "unknown action '" + verb + "': use " +
                              (sms ? "read or write" : "read, write or add")};
}

}  // namespace

int RunPhoneBook(const Globals& globals, const Arguments& args) {
    return RunRecords(globals, args, false);
}

int RunSms(const Globals& globals, const Arguments& args) {
    return RunRecords(globals, args, true);
}

}  // namespace pellucard::cli
