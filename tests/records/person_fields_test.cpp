// The rules of the personal record form's chosen values.
#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>

#include "records/person_fields.h"

namespace pellucard {
namespace {

TEST(PersonFields, YearKeepsTheLongestPrefixOfAYearFrom1860To2099) {
    const std::pair<const char16_t*, const char*> years[] = {
        {u"3", ""},        {u"1850", "18"}, {u"1860", "1860"}, {u"1999", "1999"},
        {u"2099", "2099"}, {u"2100", "2"},  {u"17", "1"},      {u"19999", "1999"},
        {u"19a9", "19"},   {u"19٤٥", "19"}};  // other scripts' digits are no year
    for (const auto& [typed, kept] : years)
        EXPECT_EQ(YearPrefix(QString::fromUtf16(typed)), kept)
            << QString::fromUtf16(typed).toStdString();
}

TEST(PersonFields, SexAndImportanceKeepOnlyTheirValues) {
    for (const auto& [typed, kept] :
         {std::pair{"m", "M"}, {"f", "F"}, {"F", "F"}, {"x", ""}, {"MM", ""}})
        EXPECT_EQ(SexValue(typed), kept) << typed;
    for (const auto& [typed, kept] : {std::pair{"7", "7"}, {"10", ""}, {"a", ""}})
        EXPECT_EQ(ImportanceValue(typed), kept) << typed;
}

TEST(PersonFields, DaysOfTheMonthAndTheStoredDate) {
    const std::tuple<const char*, const char*, int> months[] = {
        {"2000", "02", 29}, {"1900", "02", 28}, {"2024", "2", 29},
        {"1999", "12", 31}, {"1999", "04", 30}, {"19", "02", 31},  // no year yet
        {"1999", "", 31}};
    for (const auto& [year, month, days] : months)
        EXPECT_EQ(DaysInMonth(year, month), days) << year << "/" << month;
    EXPECT_EQ(JoinDate("", "", ""), "");
    EXPECT_EQ(JoinDate("1999", "03", ""), "1999/03/");
    EXPECT_EQ(SplitDate("1999/03/31"), (std::array<QString, 3>{"1999", "03", "31"}));
    EXPECT_EQ(SplitDate("")[2], "");
}

}  // namespace
}  // namespace pellucard
