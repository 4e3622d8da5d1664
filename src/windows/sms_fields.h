#pragma once

#include <QString>

namespace pellucard {

// The texts an SMS list shows for a record's status, time stamp and validity period.

// The status cells hold these English words in every language: the write run reads the
// status back from them.
inline constexpr char kStatusRead[] = "Read";
inline constexpr char kStatusToBeRead[] = "To Be Read";
inline constexpr char kStatusSent[] = "Send";
inline constexpr char kStatusToBeSent[] = "To Be Send";
// The status byte of a row whose status text is none of the four: not a message.
inline constexpr int kStatusNotAMessage = 31;

inline constexpr int kNewMessageValidity = 167;  // 24 hours

// The text of status byte 1, 3, 5 or 7; empty for any other.
QString smsStatusText(int status);
// The status byte of a status cell, compared after trimming blanks, case counting.
int smsStatusByte(const QString& text);

// The relative validity period of GSM 03.40 (9.2.3.12.1) as the list shows it: "30Minutes",
// "2Hour 30Minutes", "1Week 2Day", ... in language `languageIndex`; empty outside 0..255.
QString validityText(int validity, int languageIndex);

}  // namespace pellucard
