#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/bytes.h"
#include "engine/codec_digits.h"
#include "engine/sms_timestamp.h"

namespace pellucard {

// One record of the SIM's SMS file (GSM 11.11 EF SMS, 6F3C): a status byte, the service centre
// address and a GSM 03.40 SMS-DELIVER (received) or SMS-SUBMIT (to send) message.
inline constexpr std::size_t kSmsRecordLength = 176;

// Record statuses (byte 0).
inline constexpr int kSmsFree = 0;
inline constexpr int kSmsRead = 1;
inline constexpr int kSmsToBeRead = 3;
inline constexpr int kSmsSent = 5;
inline constexpr int kSmsToBeSent = 7;

// User data limits: 160 septets of 7-bit text, 140 bytes (70 UTF-16 units) of UCS2.
inline constexpr int kSmsMaxSeptets = 160;
inline constexpr int kSmsMaxUcs2Bytes = 140;

inline constexpr std::uint8_t kDcsGsm7 = 0x00;
inline constexpr std::uint8_t kDcsUcs2 = 0x08;

// Validity-period formats (SMS-SUBMIT first octet, bits 3..4).
inline constexpr int kValidityNone = 0x00;
inline constexpr int kValidityEnhanced = 0x08;
inline constexpr int kValidityRelative = 0x10;
inline constexpr int kValidityAbsolute = 0x18;

struct SmsAddress {
    // Length byte as stored: for the service centre the bytes of type and digits, for an
    // originating or destination address the number of digits (semi-octets).
    int length = 0;
    std::uint8_t typeByte = 0;  // type of number / numbering plan; 0 when the address is absent
    std::uint8_t type = 0;      // typeByte AND 0x70: 0x10 international, 0x50 alphanumeric
    std::uint8_t plan = 0;      // typeByte AND 0x0F
    std::string digits;         // the digits, or the text of an alphanumeric address

    bool IsAlphanumeric() const { return type == kTypeAlphanumeric; }
    // As the windows show it: "+" before the digits of an international number.
    std::string Text() const;
};

// Concatenated-message information element of the user data header (GSM 03.40 9.2.3.24.1).
struct SmsConcatenation {
    int reference = 0;  // 8- or 16-bit reference shared by all parts
    int partCount = 0;
    int partNumber = 0;  // 1-based
};

// Application port addressing element (9.2.3.24.3/4).
struct SmsPorts {
    int destination = 0;
    int origin = 0;
};

struct SmsRecord {
    int status = kSmsFree;        // 0, 1, 3, 5 or 7; any other value means "not a message"
    std::uint8_t statusByte = 0;  // byte 0 as stored, status-report bits included
    SmsAddress serviceCentre;

    // First octet. SMS-DELIVER: message type, no-more-messages bit (bit 2), status report
    // indication, header indication, reply path. SMS-SUBMIT: message type, reject duplicates,
    // validity-period format, status report request, header indication, reply path.
    std::uint8_t firstOctet = 0;
    int messageType = 0;
    bool noMoreMessages = false;
    bool statusReportIndication = false;
    bool headerIndication = false;
    bool replyPath = false;

    SmsAddress originatingAddress;  // SMS-DELIVER
    std::uint8_t protocolId = 0;
    std::uint8_t dataCoding = 0;
    SmsTimeStamp timeStamp;  // SMS-DELIVER
    int userDataLength = 0;  // as stored: septets for 7-bit, bytes for UCS2
    std::string text;        // line breaks as CR LF

    bool rejectDuplicates = false;  // SMS-SUBMIT
    int validityFormat = kValidityNone;
    bool statusReportRequest = false;
    std::uint8_t messageReference = 0;
    SmsAddress destinationAddress;
    // Relative validity byte; for the absolute and enhanced formats the first of their seven
    // bytes. 0 when the message carries none.
    int validity = 0;
    Bytes validityBytes;  // the validity period as stored (0, 1 or 7 bytes)

    Bytes userDataHeader;  // with its length byte, when headerIndication is set
    std::optional<SmsConcatenation> concatenation;
    std::optional<SmsPorts> ports;

    bool ucs2 = false;       // the text was coded in UCS2
    bool truncated = false;  // the record ended before the message did
    Bytes raw;               // the record as read, for writing an untouched record back

    bool IsMessage() const;
    bool IsReceived() const { return status == kSmsRead || status == kSmsToBeRead; }
    // The originating address of a received message, the destination of one to send.
    const SmsAddress& Address() const;
    std::string AddressText() const { return Address().Text(); }
    std::string ServiceCentreNumber() const { return serviceCentre.Text(); }
};

// Decodes a record of any length; safe on any bytes. Missing bytes read as absent (and set
// `truncated`); nothing reads past the end.
SmsRecord DecodeSmsRecord(const Bytes& record);

// Builds a record. Status 1 or 3 gives an SMS-DELIVER with the time stamp, 5 or 7 an
// SMS-SUBMIT with the relative validity byte; any other status gives a free record (status 0,
// then 0xFF). Text the GSM default table holds is written 7-bit (at most 160 characters),
// anything else as UCS2 (at most 70 UTF-16 units, whole characters). An address with a leading
// "+" is international; an address with letters is written as GSM 7-bit alphanumeric text (at
// most 11 characters), so that a sender such as a service's name survives a rewrite. An empty
// service centre is written as length 0 without a type byte.
Bytes EncodeSmsRecord(std::string_view address, std::string_view text, int status,
                      const SmsTimeStamp& timeStamp, std::string_view serviceCentre, int validity,
                      std::size_t recordLength = kSmsRecordLength);

}  // namespace pellucard
