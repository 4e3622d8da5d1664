// Record files in DF Telecom, and the phone book among them: EF ADN (6F3A), a linear fixed file.
#include "engine/codec_alpha.h"
#include "engine/pellucard.h"
#include "engine/sim_commands.h"

namespace pellucard {

namespace {
constexpr std::uint16_t kDfTelecom = 0x7F10;
constexpr std::uint16_t kEfAdn = 0x6F3A;

// The record number travels in one byte, and the record length too.
bool IsRecordNumber(int recordNumber) {
    return recordNumber >= 1 && recordNumber <= 255;
}
bool IsRecordLength(int recordLength) {
    return recordLength >= 1 && recordLength <= 255;
}

}  // namespace

CardResult<SimFileInfo> Pellucard::EnterFile(std::uint16_t fileId) {
    const CardOutcome telecom = SelectFile(kDfTelecom).outcome;
    if (!telecom.IsDone())
        return {{}, telecom};
    const CardResult<Bytes> file = SelectFile(fileId);
    if (!file.IsDone())
        return {{}, file.outcome};
    // The record count and length come from the EF's response; a cut one would read as an
    // empty file or records of no length.
    if (file.value.size() < kRecordFileResponseLength)
        return {{}, ShortReply()};
    return {ParseFileInfo(file.value), file.outcome};
}

CardResult<Bytes> Pellucard::ReadRecordOf(int recordNumber, int recordLength) {
    // A number that is not a record of this card is refused as the card would refuse it
    // (94 02, out of range), without sending anything.
    if (!IsRecordNumber(recordNumber))
        return {{}, CardOutcome::Refused(status_word::kOutOfRange)};
    // Without a record length the file's state was lost (a failed answer forgets it); the
    // file has to be entered again first.
    if (!IsRecordLength(recordLength))
        return {{}, CardOutcome::LinkFailed()};
    CardResult<Bytes> read = SendSimCommand(
        sim::ReadRecord(static_cast<std::uint8_t>(recordNumber), sim::kRecordAbsolute,
                        static_cast<std::uint8_t>(recordLength)),
        0, 0);
    if (!read.IsDone())
        return {{}, read.outcome};
    // An executed read hands back exactly one record; anything shorter was cut on the way.
    if (static_cast<int>(read.value.size()) != recordLength)
        return {{}, CardOutcome::LinkFailed()};
    return read;
}

CardOutcome Pellucard::UpdateRecordOf(int recordNumber, int recordLength, const Bytes& record) {
    if (!IsRecordNumber(recordNumber))
        return CardOutcome::Refused(status_word::kOutOfRange);
    if (!IsRecordLength(recordLength))
        return CardOutcome::LinkFailed();
    // The card takes exactly one record; a shorter or longer array is fitted with 0xFF filler.
    Bytes fitted = record;
    fitted.resize(static_cast<std::size_t>(recordLength), 0xFF);
    return SendSimCommand(
               sim::UpdateRecord(static_cast<std::uint8_t>(recordNumber), sim::kRecordAbsolute,
                                 static_cast<std::uint8_t>(recordLength)),
               0, 0, fitted)
        .outcome;
}

CardOutcome Pellucard::EnterPhoneBook() {
    const CardResult<SimFileInfo> entered = EnterFile(kEfAdn);
    phoneBookRecordCount_ = entered.IsDone() ? RecordsHeld(entered.value) : 0;
    phoneBookRecordLength_ = entered.IsDone() ? entered.value.recordLength : 0;
    return entered.outcome;
}

CardResult<Bytes> Pellucard::ReadPhoneBookRecord(int recordNumber) {
    return ReadRecordOf(recordNumber, phoneBookRecordLength_);
}

CardOutcome Pellucard::WritePhoneBookRecord(int recordNumber, const Bytes& record) {
    return UpdateRecordOf(recordNumber, phoneBookRecordLength_, record);
}

Bytes Pellucard::EncodePhoneBookEntry(const std::string& number, const std::string& name) const {
    return EncodePhoneBookRecord(number, name, phoneBookRecordLength_, nameForm_);
}

}  // namespace pellucard
