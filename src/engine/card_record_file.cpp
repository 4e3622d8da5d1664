#include "engine/card_record_file.h"

namespace pellucard {

std::uint16_t FileIdOf(CardRecordFile file) {
    switch (file) {
        case CardRecordFile::PhoneBook:
            return 0x6F3A;
        case CardRecordFile::Sms:
            return 0x6F3C;
        case CardRecordFile::FixedDialling:
            return 0x6F3B;
        case CardRecordFile::ServiceDialling:
            return 0x6F49;
        case CardRecordFile::OwnNumbers:
            return 0x6F40;
        case CardRecordFile::LastDialled:
            return 0x6F44;
        case CardRecordFile::SmsParameters:
            return 0x6F42;
    }
    return 0;
}

const char* EfNameOf(CardRecordFile file) {
    switch (file) {
        case CardRecordFile::PhoneBook:
            return "EF ADN";
        case CardRecordFile::Sms:
            return "EF SMS";
        case CardRecordFile::FixedDialling:
            return "EF FDN";
        case CardRecordFile::ServiceDialling:
            return "EF SDN";
        case CardRecordFile::OwnNumbers:
            return "EF MSISDN";
        case CardRecordFile::LastDialled:
            return "EF LND";
        case CardRecordFile::SmsParameters:
            return "EF SMSP";
    }
    return "EF";
}

bool HasPhoneBookLayout(CardRecordFile file) {
    return file != CardRecordFile::Sms && file != CardRecordFile::SmsParameters;
}

int UpdateChvOf(CardRecordFile file) {
    return file == CardRecordFile::FixedDialling ? 2 : 1;
}

}  // namespace pellucard
