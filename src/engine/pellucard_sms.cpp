// Short messages on the card: EF SMS (6F3C) in DF Telecom, 176-byte records.
#include "engine/pellucard.h"

namespace pellucard {

namespace {
constexpr std::uint16_t kEfSms = 0x6F3C;
}  // namespace

CardOutcome Pellucard::EnterSmsFile() {
    const CardResult<SimFileInfo> entered = EnterFile(kEfSms);
    smsRecordCount_ = entered.IsDone() ? RecordsHeld(entered.value) : 0;
    smsRecordLength_ = entered.IsDone() ? entered.value.recordLength : 0;
    return entered.outcome;
}

CardResult<Bytes> Pellucard::ReadSmsRecord(int recordNumber) {
    return ReadRecordOf(recordNumber, smsRecordLength_);
}

CardOutcome Pellucard::WriteSmsRecord(int recordNumber, const Bytes& record) {
    return UpdateRecordOf(recordNumber, smsRecordLength_, record);
}

Bytes Pellucard::EncodeSms(const std::string& address, const std::string& text, int status,
                           const SmsTimeStamp& timeStamp, const std::string& serviceCentre,
                           int validity) const {
    const std::size_t length =
        smsRecordLength_ > 0 ? static_cast<std::size_t>(smsRecordLength_) : kSmsRecordLength;
    return EncodeSmsRecord(address, text, status, timeStamp, serviceCentre, validity, length);
}

}  // namespace pellucard
