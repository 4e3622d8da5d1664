// The phone book on the card: EF ADN (6F3A) in DF Telecom, a linear fixed file.
#include "engine/codec_alpha.h"
#include "engine/pellucard.h"
#include "engine/sim_commands.h"

namespace pellucard {

bool Pellucard::EnterFile(std::uint8_t fileLow, SimFileInfo& info) {
    Bytes response;
    if (!SelectFile7F(0x10, response) || !lastOutcome_.IsDone())
        return false;
    if (!SelectFile6F(fileLow, response) || !lastOutcome_.IsDone())
        return false;
    // The record count and length come from the EF's response; a cut one would read as an
    // empty file or records of no length.
    if (response.size() < kRecordFileResponseLength)
        return ShortReply();
    info = ParseFileInfo(response);
    return true;
}

bool Pellucard::RecordCommand(const CommandHeader& header, Bytes& data) {
    // The record number travels in one byte; anything else is not a record of this card. The
    // host refuses it as the card would (94 02, out of range) without sending anything.
    if (header[2] == 0) {
        lastOutcome_ = CardOutcome::Refused(status_word::kOutOfRange);
        return false;
    }
    SendSimCommand(header, 0, 0, data);
    return lastOutcome_.IsDone();
}

bool Pellucard::EnterPhoneBook() {
    SimFileInfo info;
    if (!EnterFile(0x3A, info)) {
        phoneBookRecordCount_ = 0;
        phoneBookRecordLength_ = 0;
        return false;
    }
    phoneBookRecordCount_ = RecordsHeld(info);
    phoneBookRecordLength_ = info.recordLength;
    return lastResult_;
}

bool Pellucard::ReadRecordOf(int recordNumber, int recordLength, Bytes& data) {
    data.clear();
    if (recordNumber < 1 || recordNumber > 255) {
        lastOutcome_ = CardOutcome::Refused(status_word::kOutOfRange);
        return false;
    }
    // Without a record length the file's state was lost (a failed answer forgets it); the
    // file has to be entered again first.
    if (recordLength <= 0 || recordLength > 255) {
        lastOutcome_ = CardOutcome::LinkFailed();
        return false;
    }
    const bool done =
        RecordCommand(sim::ReadRecord(static_cast<std::uint8_t>(recordNumber), sim::kRecordAbsolute,
                                      static_cast<std::uint8_t>(recordLength)),
                      data);
    // An executed read hands back exactly one record; anything shorter was cut on the way.
    if (done && static_cast<int>(data.size()) != recordLength) {
        lastOutcome_ = CardOutcome::LinkFailed();
        return false;
    }
    return done;
}

bool Pellucard::UpdateRecordOf(int recordNumber, int recordLength, const Bytes& data) {
    if (recordNumber < 1 || recordNumber > 255) {
        lastOutcome_ = CardOutcome::Refused(status_word::kOutOfRange);
        return false;
    }
    if (recordLength <= 0 || recordLength > 255) {
        lastOutcome_ = CardOutcome::LinkFailed();
        return false;
    }
    // The card takes exactly one record; a shorter or longer array is fitted with 0xFF filler.
    Bytes record = data;
    record.resize(static_cast<std::size_t>(recordLength), 0xFF);
    return RecordCommand(
        sim::UpdateRecord(static_cast<std::uint8_t>(recordNumber), sim::kRecordAbsolute,
                          static_cast<std::uint8_t>(recordLength)),
        record);
}

bool Pellucard::GetPhoneBook(Bytes& data, int recordNumber) {
    return ReadRecordOf(recordNumber, phoneBookRecordLength_, data);
}

bool Pellucard::SetPhoneBook(const Bytes& data, int recordNumber) {
    return UpdateRecordOf(recordNumber, phoneBookRecordLength_, data);
}

bool Pellucard::EncodePhoneBook(const std::string& number, const std::string& name, Bytes& data) {
    const int length = phoneBookRecordLength_;
    int form = AlphaFormFromSetting(encodeType_);
    if (encodeType_ == kEncodeTypeBestFit && length > kPhoneBookFooterLength) {
        form = ChooseAlphaForm(name, static_cast<std::size_t>(length - kPhoneBookFooterLength));
    }
    data = EncodePhoneBookRecord(number, name, length, form);
    return lastResult_ && !data.empty();
}

bool Pellucard::DecodePhoneBook(const Bytes& data, std::string& number, std::string& name) {
    const auto entry = DecodePhoneBookRecord(data);
    number = entry.Number();
    name = entry.name;
    return lastResult_;
}

}  // namespace pellucard
