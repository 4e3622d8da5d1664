#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/bytes.h"
#include "engine/card_outcome.h"

namespace pellucard {

class Pellucard;

// The subscriber's own numbers (GSM 11.11 10.5.5 EF MSISDN): records laid out as the phone
// book's, an alpha tag and then the 14 bytes of the number. Record 1 is the number a handset
// shows as "my number"; the information window changes that one.
inline constexpr int kOwnNumberRecord = 1;

struct OwnNumberRecord {
    int record = 0;
    std::string name;
    std::string number;  // "+" and the digits when international
};

// Every record that holds a name or a number; a done outcome with none when the file holds
// none (or the card has no such file).
CardResult<std::vector<OwnNumberRecord>> ReadOwnNumbers(Pellucard& engine);

// The numbers as one line for the windows: "+447700900123 (Voice), 0612345678"; "-" when
// there are none.
std::string OwnNumbersText(const std::vector<OwnNumberRecord>& numbers);

enum class OwnNumberEdit {
    Done,
    RecordTooShort,  // shorter than the 14 bytes of a number
    NotDialable,     // no digit, or a character no SIM can dial
    TooLong,         // more than 20 digits (extension records are not written)
};

// Writes `number` into the record's number bytes. The alpha tag (the name) stays byte for
// byte; the capability and extension bytes are cleared, since they belonged to the old number.
// The number is trimmed; a leading "+" makes it international; blanks, dashes, dots and
// brackets are dropped; the digits, "*", "#" and a pause "P" are kept. Anything but Done
// leaves the record untouched.
OwnNumberEdit SetOwnNumber(Bytes& record, std::string_view number);

struct OwnNumberWrite {
    OwnNumberEdit edit = OwnNumberEdit::Done;
    // What the card answered: the read of record 1, or its update. A done read of a file
    // without records is `noRecord`.
    CardOutcome outcome;
    bool noRecord = false;
    std::optional<std::string> previous;  // the number record 1 held, when it held one
    std::optional<std::string> number;    // the number as the card keeps it after the edit

    bool Done() const { return edit == OwnNumberEdit::Done && !noRecord && outcome.IsDone(); }
};

// Reads record 1, sets its number and writes it back through the card runs.
OwnNumberWrite WriteOwnNumber(Pellucard& engine, std::string_view number);

}  // namespace pellucard
