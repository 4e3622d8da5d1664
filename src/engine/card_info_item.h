#pragma once

#include <cstdint>

namespace pellucard {

// What Pellucard::ReadCardInfo is asked for. The numbers are the card-information selectors the
// windows use.
enum class CardInfoItem : std::int16_t {
    Iccid = 19,
    Imsi = 20,
    ServiceProviderName = 21,
    LastDialledRecordCount = 24,
    Phase = 25,
    ServiceCentreNumber = 26,
    SmsRecordCount = 27,
    PhoneBookRecordCount = 28,
    PhoneBookRecordLength = 30,
    LockState = 31,
    Pin2Attempts = 32,
    Pin1Attempts = 33,
    Puk2Attempts = 34,
    Puk1Attempts = 35,
    SmsRecordLength = 37,
    // Beyond the selectors of the reader's card information: the subscriber's own numbers
    // (EF MSISDN), read from the card's file.
    OwnNumbers = 38,
};

}  // namespace pellucard
