#pragma once

#include <QString>

#include <array>

#include "catalogue/catalogue.h"

namespace pellucard {

// The catalogue titles of the contact fields 1..25, as a personal record list heads its
// columns and as text files and the command line name them.
inline constexpr std::array<MessageId, 25> kContactFieldTitles = {
    MessageId::AliasTitle,         MessageId::PhoneTitle,
    MessageId::NameTitle,          MessageId::HomeAddressTitle,
    MessageId::HomeCityTitle,      MessageId::HomeCountryTitle,
    MessageId::HomeZipCodeTitle,   MessageId::PersonalEmailTitle,
    MessageId::HomeTelephoneTitle, MessageId::HomeFaxTitle,
    MessageId::OfficeAddressTitle, MessageId::OfficeCityTitle,
    MessageId::OfficeCountryTitle, MessageId::OfficeZipCodeTitle,
    MessageId::WorkEmailTitle,     MessageId::OfficeTelephoneTitle,
    MessageId::MobilePhoneTitle,   MessageId::OfficeFaxTitle,
    MessageId::DateOfBirthTitle,   MessageId::NicknameTitle,
    MessageId::HobbyTitle,         MessageId::HomepageTitle,
    MessageId::ImportantTitle,     MessageId::SexTitle,
    MessageId::NoteTitle};

// The contact fields that hold dialling numbers: Phone, Home Telephone, Home Fax, Office
// Telephone, Mobile Phone, Office Fax.
inline constexpr std::array<int, 6> kContactNumberColumns = {2, 9, 10, 16, 17, 18};

// The rules of the personal record form's chosen values: date of birth, sex, importance.

// The longest prefix of typed text that can begin a year from 1860 to 2099: "1" or "2"
// first; after "1" an "8" or "9", after "2" a "0"; after "18" a digit from 6 to 9, else any
// digit; then any digit; four characters at most.
QString YearPrefix(const QString& typed);

// "F", "M" or empty: "f" and "m" become capitals, anything else empty.
QString SexValue(const QString& typed);

// A single digit, or empty.
QString ImportanceValue(const QString& typed);

// The days of a month of a year (Gregorian calendar); 31 when the year or month is not a
// number of the calendar.
int DaysInMonth(const QString& year, const QString& month);

// The stored date of birth: year, "/", month, "/", day; empty when all three are empty.
QString JoinDate(const QString& year, const QString& month, const QString& day);
// The three parts of a stored date; missing parts are empty.
std::array<QString, 3> SplitDate(const QString& date);

}  // namespace pellucard
