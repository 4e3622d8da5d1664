// Any record file of DF Telecom by its CardRecordFile: the phone book and the short messages
// keep their own operations; the others (fixed, service and last dialled numbers, own numbers,
// SMS parameters) share these.
#include "engine/pellucard.h"
#include "engine/sim_commands.h"

namespace pellucard {

namespace {
constexpr std::uint8_t kStructureCyclic = 0x03;
}  // namespace

CardOutcome Pellucard::EnterRecordFile(CardRecordFile file) {
    switch (file) {
        case CardRecordFile::PhoneBook:
            return EnterPhoneBook();
        case CardRecordFile::Sms:
            return EnterSmsFile();
        default:
            break;
    }
    RecordFileLayout& layout = recordFiles_[static_cast<std::size_t>(file)];
    const CardResult<SimFileInfo> entered = EnterFile(FileIdOf(file));
    layout = {};
    // A transparent file where a record file belongs holds no records to read.
    if (entered.IsDone() && entered.value.structure != 0) {
        layout.count = RecordsHeld(entered.value);
        layout.length = entered.value.recordLength;
        layout.cyclic = entered.value.structure == kStructureCyclic;
    }
    return entered.outcome;
}

int Pellucard::RecordCount(CardRecordFile file) const {
    switch (file) {
        case CardRecordFile::PhoneBook:
            return phoneBookRecordCount_;
        case CardRecordFile::Sms:
            return smsRecordCount_;
        default:
            return recordFiles_[static_cast<std::size_t>(file)].count;
    }
}

int Pellucard::RecordLength(CardRecordFile file) const {
    switch (file) {
        case CardRecordFile::PhoneBook:
            return phoneBookRecordLength_;
        case CardRecordFile::Sms:
            return smsRecordLength_;
        default:
            return recordFiles_[static_cast<std::size_t>(file)].length;
    }
}

bool Pellucard::IsCyclic(CardRecordFile file) const {
    return recordFiles_[static_cast<std::size_t>(file)].cyclic;
}

CardResult<Bytes> Pellucard::ReadFileRecord(CardRecordFile file, int recordNumber) {
    return ReadRecordOf(recordNumber, RecordLength(file));
}

CardOutcome Pellucard::WriteFileRecord(CardRecordFile file, int recordNumber, const Bytes& record) {
    return UpdateRecordOf(recordNumber, RecordLength(file), record);
}

CardOutcome Pellucard::PushCyclicRecord(CardRecordFile file, const Bytes& record) {
    const int length = RecordLength(file);
    if (length < 1 || length > 255)
        return CardOutcome::LinkFailed();  // the file was not entered, or its layout was lost
    Bytes fitted = record;
    fitted.resize(static_cast<std::size_t>(length), 0xFF);
    // GSM 11.11 8.2.2: a cyclic file is updated in previous mode only; the record written
    // becomes record 1. An update is never sent twice (sim::MayRepeat), as a second one that
    // landed would push another record out.
    return SendSimCommand(
               sim::UpdateRecord(0, sim::kRecordPrevious, static_cast<std::uint8_t>(length)), 0, 0,
               fitted)
        .outcome;
}

}  // namespace pellucard
