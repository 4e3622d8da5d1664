#pragma once

#include <cstdint>

namespace pellucard {

// The record files of DF Telecom (7F10) that the engine reads and writes record by record
// (GSM 11.11 10.5). All but the short messages and their parameters keep their records in the
// abbreviated dialling number layout (10.5.1): a name, then the 14-byte number part.
enum class CardRecordFile {
    PhoneBook,        // EF ADN 6F3A, abbreviated dialling numbers
    Sms,              // EF SMS 6F3C, short messages
    FixedDialling,    // EF FDN 6F3B; the card asks for CHV2 before an update
    ServiceDialling,  // EF SDN 6F49; the operator's, updated by the administrator only
    OwnNumbers,       // EF MSISDN 6F40, the subscriber's own numbers
    LastDialled,      // EF LND 6F44; often cyclic, record 1 the latest number dialled
    SmsParameters,    // EF SMSP 6F42, the message centre among the parameters
};
inline constexpr int kCardRecordFileCount = 7;

inline constexpr CardRecordFile kAllCardRecordFiles[kCardRecordFileCount] = {
    CardRecordFile::PhoneBook,       CardRecordFile::Sms,        CardRecordFile::FixedDialling,
    CardRecordFile::ServiceDialling, CardRecordFile::OwnNumbers, CardRecordFile::LastDialled,
    CardRecordFile::SmsParameters,
};

// The file's identifier in DF Telecom.
std::uint16_t FileIdOf(CardRecordFile file);
// Its short name as GSM 11.11 writes it: "EF ADN", "EF FDN", ...
const char* EfNameOf(CardRecordFile file);
// Records of the abbreviated dialling number layout, decoded as phone book entries.
bool HasPhoneBookLayout(CardRecordFile file);
// The CHV a card normally asks for before it updates the file: 2 for the fixed dialling
// numbers, 1 for the others (the service dialling numbers are the administrator's).
int UpdateChvOf(CardRecordFile file);

}  // namespace pellucard
