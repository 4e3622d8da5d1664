// phonebook read|write and sms read|write: whole files of the card.
#include <QJsonArray>

#include <QJsonDocument>
#include <QSaveFile>

#include "cli/cli.h"
#include "cli/record_files.h"
#include "cli/record_json.h"
#include "engine/pellucard.h"
#include "records/save_file.h"

namespace pellucard::cli {

namespace {

std::string StatusWords(const Bytes& block) {
    return block.size() == 2 ? " (status " + ToHex(block) + ")" : "";
}

// A written record is acknowledged by the status words 90 00.
void CheckWritten(bool sent, int slot, Pellucard& engine) {
    if (!sent) {
        throw Failure{kCardFailure, engine.ReaderPresent()
                                        ? "writing record " + std::to_string(slot) + " failed"
                                        : "the reader went away at record " + std::to_string(slot)};
    }
    if (engine.LastResponse() != Bytes{0x90, 0x00}) {
        throw Failure{kCardFailure, "the card refused to write record " + std::to_string(slot) +
                                        StatusWords(engine.LastResponse())};
    }
}

struct CardFile {
    int count = 0;
    int length = 0;
};

CardFile EnterPhoneBook(Pellucard& engine) {
    if (!engine.EnterPhoneBook() || engine.PhoneBookRecordCount() <= 0) {
        throw Failure{kCardFailure, "cannot open the card's phone book"};
    }
    return {engine.PhoneBookRecordCount(), engine.PhoneBookRecordLength()};
}

CardFile EnterSms(Pellucard& engine) {
    if (!engine.EnterSMSBook() || engine.SmsRecordCount() <= 0) {
        throw Failure{kCardFailure, "cannot open the card's message store"};
    }
    return {engine.SmsRecordCount(), engine.SmsRecordLength()};
}

// Reads one record; a block that is not a whole record is the card's refusal.
Bytes ReadRecord(Pellucard& engine, bool sms, int slot, int length) {
    Bytes record;
    const bool ok = sms ? engine.GetSMS(record, slot) : engine.GetPhoneBook(record, slot);
    if (!ok) {
        throw Failure{kCardFailure, engine.ReaderPresent()
                                        ? "reading record " + std::to_string(slot) + " failed"
                                        : "the reader went away at record " + std::to_string(slot)};
    }
    if (static_cast<int>(record.size()) != length) {
        throw Failure{kCardFailure, "the card refused record " + std::to_string(slot) +
                                        StatusWords(record) + "; is PIN1 needed (--pin)?"};
    }
    return record;
}

void WriteRecord(Pellucard& engine, bool sms, int slot, const Bytes& record) {
    const bool sent = sms ? engine.SetSMS(slot, record) : engine.SetPhoneBook(record, slot);
    CheckWritten(sent, slot, engine);
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
    const CardFile file = sms ? EnterSms(engine) : EnterPhoneBook(engine);
    QJsonArray out;
    std::vector<PhoneBookSlot> entries;
    std::vector<SmsSlot> messages;
    for (int slot = 1; slot <= file.count; ++slot) {
        Progress(sms ? "reading messages" : "reading phone book", slot, file.count);
        const Bytes record = ReadRecord(engine, sms, slot, file.length);
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
    EndProgress();
    if (toJsonFile) {
        SaveJson(output, out);
    } else if (toFile) {
        // The card-side list as the windows keep it: slot n holds card record n.
        const CardList cards =
            sms ? FromSmsSlots(messages, file.count) : FromPhoneBookSlots(entries, file.count);
        WriteCardFile(cards, output, options);
    } else if (globals.json) {
        PrintJson(out);
    }
    if (toFile && !globals.json)
        PrintLine("read " + std::to_string(file.count) + " records into " + output);
    return kSuccess;
}

int WriteAll(const Globals& globals, const Arguments& args, bool sms) {
    const std::string input = args.Positional(2, "the file to write");
    // Check the whole input before touching the card.
    std::vector<PhoneBookSlot> phoneBook;
    std::vector<SmsSlot> messages;
    if (input == "-" || FormatOf(input) == FileFormat::Json) {
        const QByteArray json = ReadInputFile(input);
        if (sms) {
            messages = ParseSmsJson(json);
        } else {
            phoneBook = ParsePhoneBookJson(json);
        }
    } else {
        const RecordKind kind = sms ? RecordKind::Sms : RecordKind::PhoneBook;
        const CardList cards = ReadCardFile(input, FileOptionsOf(args), kind);
        if (sms) {
            messages = SmsSlotsOf(cards, false);
        } else {
            phoneBook = PhoneBookSlotsOf(cards, false);
        }
    }

    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    Pellucard& engine = *session->engine;
    const CardFile file = sms ? EnterSms(engine) : EnterPhoneBook(engine);
    const auto entries = BySlot(phoneBook, file.count);
    const auto texts = BySlot(messages, file.count);
    for (int slot = 1; slot <= file.count; ++slot) {
        Progress(sms ? "writing messages" : "writing phone book", slot, file.count);
        Bytes record;
        if (sms) {
            record = texts[slot] ? SmsRecordFor(*texts[slot], file.length)
                                 : SmsRecordFor(SmsSlot{}, file.length);
        } else {
            record = entries[slot] ? PhoneBookRecordFor(*entries[slot], file.length)
                                   : PhoneBookRecordFor(PhoneBookSlot{}, file.length);
        }
        WriteRecord(engine, sms, slot, record);
    }
    EndProgress();
    SaveCard(*session);
    if (!globals.json)
        PrintLine("wrote " + std::to_string(file.count) + " records");
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
