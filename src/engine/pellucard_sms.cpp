// Short messages on the card: EF SMS (6F3C) in DF Telecom, 176-byte records.
#include "engine/pellucard.h"

namespace pellucard {

bool Pellucard::EnterSMSBook() {
    SimFileInfo info;
    if (!EnterFile(0x3C, info)) {
        smsRecordCount_ = 0;
        smsRecordLength_ = 0;
        return false;
    }
    smsRecordCount_ = RecordsHeld(info);
    smsRecordLength_ = info.recordLength;
    return lastResult_;
}

bool Pellucard::GetSMS(Bytes& data, int recordNumber) {
    return ReadRecordOf(recordNumber, smsRecordLength_, data);
}

bool Pellucard::SetSMS(int recordNumber, const Bytes& data) {
    return UpdateRecordOf(recordNumber, smsRecordLength_, data);
}

bool Pellucard::EncodeSMS(const std::string& address, const std::string& text, int status,
                          const SmsTimeStamp& timeStamp, const std::string& scNumber, int validity,
                          Bytes& data) {
    const std::size_t length =
        smsRecordLength_ > 0 ? static_cast<std::size_t>(smsRecordLength_) : kSmsRecordLength;
    data = EncodeSmsRecord(address, text, status, timeStamp, scNumber, validity, length);
    return lastResult_;
}

bool Pellucard::DecodeSMS(const Bytes& data, SmsRecord& record) {
    record = DecodeSmsRecord(data);
    return lastResult_;
}

}  // namespace pellucard
