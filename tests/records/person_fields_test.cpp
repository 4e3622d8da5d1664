// The rules of the personal record form's chosen values.
#include <gtest/gtest.h>

#include "records/person_fields.h"

namespace pellucard {
namespace {

TEST(PersonFields, YearKeepsTheLongestPrefixOfAYearFrom1860To2099) {
    EXPECT_EQ(YearPrefix("3"), "");
    EXPECT_EQ(YearPrefix("1850"), "18");
    EXPECT_EQ(YearPrefix("1860"), "1860");
    EXPECT_EQ(YearPrefix("1999"), "1999");
    EXPECT_EQ(YearPrefix("2099"), "2099");
    EXPECT_EQ(YearPrefix("2100"), "2");
    EXPECT_EQ(YearPrefix("17"), "1");
    EXPECT_EQ(YearPrefix("19999"), "1999");
    EXPECT_EQ(YearPrefix("19a9"), "19");
    EXPECT_EQ(YearPrefix(QStringLiteral("19٤٥")), "19") << "other scripts' digits are no year";
}

TEST(PersonFields, SexAndImportanceKeepOnlyTheirValues) {
    EXPECT_EQ(SexValue("m"), "M");
    EXPECT_EQ(SexValue("f"), "F");
    EXPECT_EQ(SexValue("F"), "F");
    EXPECT_EQ(SexValue("x"), "");
    EXPECT_EQ(SexValue("MM"), "");
    EXPECT_EQ(ImportanceValue("7"), "7");
    EXPECT_EQ(ImportanceValue("10"), "");
    EXPECT_EQ(ImportanceValue("a"), "");
}

TEST(PersonFields, DaysOfTheMonthAndTheStoredDate) {
    EXPECT_EQ(DaysInMonth("2000", "02"), 29);
    EXPECT_EQ(DaysInMonth("1900", "02"), 28);
    EXPECT_EQ(DaysInMonth("2024", "2"), 29);
    EXPECT_EQ(DaysInMonth("1999", "12"), 31);
    EXPECT_EQ(DaysInMonth("1999", "04"), 30);
    EXPECT_EQ(DaysInMonth("19", "02"), 31) << "no year yet";
    EXPECT_EQ(DaysInMonth("1999", ""), 31);
    EXPECT_EQ(JoinDate("", "", ""), "");
    EXPECT_EQ(JoinDate("1999", "03", ""), "1999/03/");
    const auto parts = SplitDate("1999/03/31");
    EXPECT_EQ(parts[0], "1999");
    EXPECT_EQ(parts[1], "03");
    EXPECT_EQ(parts[2], "31");
    EXPECT_EQ(SplitDate("")[2], "");
}

}  // namespace
}  // namespace pellucard
