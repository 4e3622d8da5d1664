// Numbers as phones, contact services and spreadsheets write them, read as a SIM dials them.
#include <gtest/gtest.h>

#include "records/dialable_number.h"
#include "support/qt_printers.h"

namespace pellucard {
namespace {

struct Written {
    const char16_t* text;
    const char16_t* number;
    const char16_t* refused;
};

TEST(DialableNumberTest, SeparatorsGoExtensionsFollowAPauseAndTheRestIsRefused) {
    const Written cases[] = {
        // Grouping as phones show it.
        {u"+46 70 123 45 67", u"+46701234567", u""},
        {u"(020) 7946-0018", u"02079460018", u""},
        {u"030/1234567", u"0301234567", u""},
        {u"+33\u00A01\u202F23\u201145", u"+3312345", u""},  // no-break and thin blanks, a dash
        // The trunk prefix in brackets after a country code is not dialled from abroad.
        {u"+44 (0)20 7946 0018", u"+442079460018", u""},
        // RFC 3966: the extension after a pause, other parameters dropped.
        {u"tel:+1-555-555-5555;ext=5555", u"+15555555555P5555", u""},
        {u"tel:7042;phone-context=example.com", u"7042", u""},
        // Extensions and pauses as people type them.
        {u"+1 555 0100 ext. 12", u"+15550100P12", u""},
        {u"555-0100 x12", u"5550100P12", u""},
        {u"+1 555 0100,,123", u"+15550100PP123", u""},
        {u"0170 1234567p89", u"01701234567P89", u""},
        {u"*100#", u"*100#", u""},
        {u"\u0660\u0661\u0662 \u0663", u"0123", u""},  // Arabic-Indic digits
        {u"", u"", u""},
        // What no SIM dials.
        {u"0800 FLOWERS", u"0800", u"FLOWERS"},
        {u"12+34", u"1234", u"+"},
        {u"+1 555 0100 ext. 1a", u"+155501001", u"exta"},
    };
    for (const Written& written : cases) {
        const DialableNumber read = ReadDialableNumber(QString::fromUtf16(written.text));
        EXPECT_EQ(read.number, QString::fromUtf16(written.number))
            << QString::fromUtf16(written.text).toStdString();
        EXPECT_EQ(read.refused, QString::fromUtf16(written.refused))
            << QString::fromUtf16(written.text).toStdString();
        EXPECT_EQ(read.Dialable(), read.refused.isEmpty());
    }
    EXPECT_EQ(ReadDialableNumber("tel:+1-201-555-0123;isub=8;phone-context=x").dropped,
              QStringList({"isub", "phone-context"}));
}

}  // namespace
}  // namespace pellucard
