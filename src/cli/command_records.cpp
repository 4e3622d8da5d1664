// phonebook read|write and sms read|write: whole files of the card.
#include <QJsonArray>

#include <QJsonDocument>
#include <QSaveFile>

#include "cli/cli.h"
#include "cli/record_files.h"
#include "cli/record_json.h"
#include "cli/write_check.h"
#include "engine/card_runs.h"
#include "engine/pellucard.h"
#include "engine/sim_commands.h"
#include "records/save_file.h"
#include "records/vcard_records.h"

namespace pellucard::cli {

namespace {

// Why a run ended early, in one line. PIN1 is named only when the card said that an access
// condition is not fulfilled.
std::string RunFailure(const CardRunResult& run, const Pellucard& engine, bool pinGiven,
                       const char* what) {
    const std::string record = std::to_string(run.record);
    switch (run.ending) {
        case RunEnding::Refused: {
            std::string message =
                "the card refused record " + record + " (status " + run.failure.StatusText() + ")";
            if (sim::IsAccessConditionNotFulfilled(run.failure.statusWord)) {
                message +=
                    pinGiven ? "; access condition not fulfilled" : "; is PIN1 needed (--pin)?";
            }
            return message;
        }
        case RunEnding::NotEntered:
            if (run.failure.IsRefused()) {
                return std::string("cannot open the card's ") + what + " (status " +
                       run.failure.StatusText() + ")";
            }
            return std::string("cannot open the card's ") + what;
        case RunEnding::LinkFailed:
            return engine.ReaderPresent() ? "the reader failed at record " + record
                                          : "the reader went away at record " + record;
        case RunEnding::Stopped:
            return "stopped at record " + record;
        case RunEnding::Complete:
            break;
    }
    return {};
}

void CheckRun(const CardRunResult& run, const Pellucard& engine, const Globals& globals, bool sms) {
    if (!run.Complete()) {
        throw Failure{kCardFailure, RunFailure(run, engine, globals.pin.has_value(),
                                               sms ? "message store" : "phone book")};
    }
}

CardRunHooks ProgressHooks(const char* what) {
    CardRunHooks hooks;
    hooks.progress = [what](int record, int count) { Progress(what, record, count); };
    return hooks;
}

CardRecordFile FileOf(bool sms) {
    return sms ? CardRecordFile::Sms : CardRecordFile::PhoneBook;
}

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
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !CommitWhenComplete(file)) {
        throw Failure{kCardFailure, path + ": " + file.errorString().toStdString()};
    }
}

int ReadAll(const Globals& globals, const Arguments& args, bool sms) {
    const std::string output = OutputPath(args);
    const FileOptions options = FileOptionsOf(args);
    // Check the output's name before reading the whole card.
    const bool toFile = !output.empty();
    const bool toJsonFile = toFile && FormatOf(output) == FileFormat::Json;
    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    Pellucard& engine = *session->engine;
    std::vector<Bytes> records;
    const CardRunResult run = ReadCardRecords(
        engine, FileOf(sms), [&records](int, const Bytes& raw) { records.push_back(raw); },
        ProgressHooks(sms ? "reading messages" : "reading phone book"));
    EndProgress();
    CheckRun(run, engine, globals, sms);
    const int count = run.recordCount;
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
            if (globals.json || toJsonFile) {
                out.append(PhoneBookJson(slot, entry));
            } else if (!toFile && !entry.IsEmpty()) {
                PrintLine(std::to_string(slot) + "\t" + entry.name + "\t" + entry.Number());
            }
        }
    }
    if (toJsonFile) {
        SaveJson(output, out);
    } else if (toFile) {
        // The card-side list as the windows keep it: slot n holds card record n.
        const CardList cards =
            sms ? FromSmsSlots(messages, count) : FromPhoneBookSlots(entries, count);
        WriteCardFile(cards, output, options);
    } else if (globals.json) {
        PrintJson(out);
    }
    if (toFile && !globals.json)
        PrintLine("read " + std::to_string(count) + " records into " + output);
    return kSuccess;
}

int WriteAll(const Globals& globals, const Arguments& args, bool sms) {
    const std::string input = args.Positional(2, "the file to write");
    // Check the whole input before touching the card.
    std::vector<PhoneBookSlot> phoneBook;
    std::vector<SmsSlot> messages;
    const RecordKind kind = sms ? RecordKind::Sms : RecordKind::PhoneBook;
    const auto readFile = [&](const FileOptions& options) {
        const CardList cards = ReadCardFile(input, options, kind);
        if (sms) {
            messages = SmsSlotsOf(cards, false);
        } else {
            phoneBook = PhoneBookSlotsOf(cards, false);
        }
    };
    // A vCard's names are fitted to the card's name field: it is read once that is known.
    const bool vCard = input != "-" && FormatOf(input) == FileFormat::VCard;
    if (input == "-" || FormatOf(input) == FileFormat::Json) {
        const QByteArray json = ReadInputFile(input);
        if (sms) {
            messages = ParseSmsJson(json);
        } else {
            phoneBook = ParsePhoneBookJson(json);
        }
    } else if (!vCard) {
        readFile(FileOptionsOf(args));
    }

    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    Pellucard& engine = *session->engine;
    // Validate against the card's record count, then run.
    const int count = EnterCardRecordFile(engine, FileOf(sms));
    if (count <= 0)
        throw Failure{kCardFailure,
                      RunFailure(CardRunResult{.failure = engine.LastOutcome()}, engine, false,
                                 sms ? "message store" : "phone book")};
    if (vCard) {
        FileOptions options = FileOptionsOf(args);
        options.phoneBookNames = CardNameFit(engine.PhoneBookRecordLength() - 14);
        readFile(options);
    }
    const auto entries = BySlot(phoneBook, count);
    const auto texts = BySlot(messages, count);
    CheckCardWrite(phoneBook, messages, sms,
                   sms ? engine.SmsRecordLength() : engine.PhoneBookRecordLength(),
                   args.Flag("force"));
    const auto recordFor = [&](int slot, int length) -> std::optional<Bytes> {
        const auto index = static_cast<std::size_t>(slot);
        if (sms) {
            return texts[index] ? SmsRecordFor(*texts[index], length)
                                : SmsRecordFor(SmsSlot{}, length);
        }
        return entries[index] ? PhoneBookRecordFor(*entries[index], length)
                              : PhoneBookRecordFor(PhoneBookSlot{}, length);
    };
    const CardRunResult run =
        WriteCardRecords(engine, FileOf(sms), recordFor,
                         ProgressHooks(sms ? "writing messages" : "writing phone book"), count);
    EndProgress();
    // What was written stays written: keep it in a virtual card's image before failing.
    if (!run.Complete()) {
        std::string ignored;
        session->SaveVirtualCard(ignored);
        CheckRun(run, engine, globals, sms);
    }
    SaveCard(*session);
    if (!globals.json)
        PrintLine("wrote " + std::to_string(run.done) + " records");
    return kSuccess;
}

int RunRecords(const Globals& globals, const Arguments& args, bool sms) {
    args.Expect({"output", "delimiter", "kind"});
    const std::string verb = args.Positional(1, "read or write");
    if (verb == "read")
        return ReadAll(globals, args, sms);
    if (verb == "write")
        return WriteAll(globals, args, sms);
    throw Failure{kUsage, "unknown action '" + verb + "': use read or write"};
}

}  // namespace

int RunPhoneBook(const Globals& globals, const Arguments& args) {
    return RunRecords(globals, args, false);
}

int RunSms(const Globals& globals, const Arguments& args) {
    return RunRecords(globals, args, true);
}

}  // namespace pellucard::cli
