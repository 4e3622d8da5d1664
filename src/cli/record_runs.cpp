#include "cli/record_runs.h"

#include "catalogue/status_words.h"
#include "cli/record_files.h"
#include "cli/usim_list_columns.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"
#include "engine/sms_record.h"
#include "engine/status_words.h"
#include "records/vcard_records.h"

namespace pellucard::cli {
namespace {

// Why a run ended early, in one line. PIN1 is named only when the card said that the security
// status is not satisfied (an access condition not fulfilled).
std::string RunFailure(const CardRunResult& run, const Pellucard& engine, bool pinGiven,
                       const char* what) {
    const std::string record = std::to_string(run.record);
    switch (run.ending) {
        case RunEnding::Refused: {
            std::string message = "the card refused record " + record + " (status " +
                                  StatusWordText(run.failure.statusWord, 0).toStdString() + ")";
            if (ClassOfStatusWord(run.failure.statusWord) == StatusClass::SecurityNotSatisfied &&
                !pinGiven)
                message += "; is PIN1 needed (--pin)?";
            return message;
        }
        case RunEnding::NotEntered:
            if (run.failure.IsRefused()) {
                return std::string("cannot open the card's ") + what + " (status " +
                       StatusWordText(run.failure.statusWord, 0).toStdString() + ")";
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

}  // namespace

const char* FileWords(CardRecordFile file) {
    switch (file) {
        case CardRecordFile::PhoneBook:
            return "phone book";
        case CardRecordFile::Sms:
            return "message store";
        case CardRecordFile::FixedDialling:
            return "fixed dialling numbers";
        case CardRecordFile::ServiceDialling:
            return "service dialling numbers";
        case CardRecordFile::OwnNumbers:
            return "own numbers";
        case CardRecordFile::LastDialled:
            return "last dialled numbers";
        case CardRecordFile::SmsParameters:
            return "SMS parameters";
    }
    return "file";
}

CardRunHooks ProgressHooks(const char* what) {
    CardRunHooks hooks;
    hooks.progress = [what](int record, int count) { Progress(what, record, count); };
    return hooks;
}

void CheckRun(const CardRunResult& run, const Pellucard& engine, const Globals& globals,
              CardRecordFile file) {
    if (!run.Complete()) {
        throw Failure{kCardFailure,
                      RunFailure(run, engine, globals.pin.has_value(), FileWords(file))};
    }
}

int EnterRecords(Pellucard& engine, CardRecordFile file) {
    const CardResult<int> entered = EnterCardRecordFile(engine, file);
    if (entered.value <= 0) {
        throw Failure{kCardFailure, RunFailure(CardRunResult{.failure = entered.outcome}, engine,
                                               false, FileWords(file))};
    }
    return entered.value;
}

std::vector<Bytes> ReadRecords(Pellucard& engine, const Globals& globals, CardRecordFile file) {
    std::vector<Bytes> records;
    const std::string what = std::string("reading ") + FileWords(file);
    const CardRunResult run = ReadCardRecords(
        engine, file, [&records](int, const Bytes& raw) { records.push_back(raw); },
        ProgressHooks(file == CardRecordFile::Sms ? "reading messages" : what.c_str()));
    EndProgress();
    CheckRun(run, engine, globals, file);
    return records;
}

bool IsFreeRecord(const Bytes& record, CardRecordFile file) {
    return file == CardRecordFile::Sms ? !DecodeSmsRecord(record).IsMessage()
                                       : DecodePhoneBookRecord(record).IsEmpty();
}

bool IsVCardInput(const std::string& path) {
    return path != "-" && FormatOf(path) == FileFormat::VCard;
}

SlotsToWrite ReadSlotsToWrite(const std::string& path, const Arguments& args, bool sms,
                              std::optional<int> cardNameLength, std::map<int, UsimRow>* usimRows) {
    SlotsToWrite slots;
    if (path == "-" || FormatOf(path) == FileFormat::Json) {
        const QByteArray json = ReadInputFile(path);
        if (sms) {
            slots.messages = ParseSmsJson(json);
        } else {
            slots.phoneBook = ParsePhoneBookJson(json);
        }
        return slots;
    }
    const RecordKind kind = sms ? RecordKind::Sms : RecordKind::PhoneBook;
    FileOptions options = FileOptionsOf(args);
    // Contacts bound for the card are phone book entries, one for each number.
    if (FormatOf(path) == FileFormat::VCard) {
        options.kind = kind;
        if (cardNameLength)
            options.phoneBookNames = CardNameFit(*cardNameLength);
    }
    options.usimColumns = usimRows != nullptr && !sms;
    const CardList cards = ReadCardFile(path, options, kind);
    if (usimRows != nullptr)
        *usimRows = UsimRowsOf(cards);
    if (sms) {
        slots.messages = SmsSlotsOf(cards, false);
    } else {
        slots.phoneBook = PhoneBookSlotsOf(cards, false);
    }
    return slots;
}

}  // namespace pellucard::cli
