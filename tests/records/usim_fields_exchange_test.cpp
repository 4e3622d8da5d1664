// A USIM phone book's second number with its type, e-mail, second name and group through vCard
// and delimited text, both ways.
#include <gtest/gtest.h>

#include <memory>

#include "catalogue/catalogue.h"
#include "list_cells.h"
#include "records/column_names.h"
#include "records/record_slots.h"
#include "records/text_export.h"
#include "records/text_import.h"
#include "records/usim_fields.h"
#include "records/vcard.h"
#include "records/vcard_records.h"

namespace pellucard {
namespace {

using testing::Cells;

const QList<int> kEntryColumns = {1, 2, 27, 28, 29, 30, 31};

// A USIM phone book list as the phone book window keeps it, titled in `language`.
std::unique_ptr<RecordList> UsimList(int slotCount, int language = 0) {
    auto list = std::make_unique<RecordList>(slotCount + 1, usim_column::kCount);
    RenumberRows(*list, slotCount);
    list->SetText(0, 1, Message(MessageId::AliasTitle, language));
    list->SetText(0, 2, Message(MessageId::PhoneTitle, language));
    for (std::size_t k = 0; k < kUsimColumns.size(); ++k)
        list->SetText(0, kUsimColumns[k], Message(kUsimColumnTitles[k], language));
    return list;
}

// Name, number, second number, type, e-mail, second name, group.
QStringList Entry(const RecordList& list, int row) {
    QStringList cells;
    for (const int column : kEntryColumns)
        cells.append(list.Text(row, column));
    return cells;
}

void SetEntry(RecordList& list, int row, const QString& joined) {
    const QStringList cells = Cells(joined);
    for (qsizetype k = 0; k < kEntryColumns.size(); ++k)
        list.SetText(row, kEntryColumns[k], cells.value(k));
}

// Types vCard names in other words, a type it has no word for, a type without a second
// number, an e-mail address alone, a second number without a number (its type said by the TEL
// types or only by the text): each comes back as written.
constexpr int kSamples = 7;
std::unique_ptr<RecordList> SampleEntries() {
    auto list = UsimList(kSamples);
    SetEntry(*list, 1, "Anna Berg|+46701234567|+4687654321|Work|anna@example.se|Annie|Friends");
    SetEntry(*list, 2, "Jürgen|0301234567|01711234567|Handy|j@example.de|Jürgen Müller|Familie");
    SetEntry(*list, 3, "Zoë, Ltd; x\\y|123|456|Satellite; boat|z@example.com|A, B|Work, close");
    SetEntry(*list, 4, "Type Only|112||Home|||");
    SetEntry(*list, 5, "|||||only@example.com||");
    SetEntry(*list, 6, "Only Second||+4687654321|Mobile|||");
    SetEntry(*list, 7, "Satellite||+8816123456|Satellite|||");
    return list;
}

TEST(UsimVCardTest, EntriesComeBackCellForCellInEveryVersion) {
    const auto source = SampleEntries();
    for (const VCardVersion version : {VCardVersion::V21, VCardVersion::V30, VCardVersion::V40}) {
        // Another program's contact of several numbers fills the number first, marked or not.
        const QByteArray bytes =
            VCardsOfRows(*source, kSamples, VCardListKind::PhoneBook, version) +
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Two\r\nTEL:112\r\nTEL;TYPE=CELL:"
            "+4687654321\r\nX-PELLUCARD-SECOND-NUMBER-ONLY:TRUE\r\nEND:VCARD\r\n";
        if (version == VCardVersion::V30) {
            EXPECT_TRUE(
                bytes.contains("TEL;TYPE=CELL:01711234567\r\n"
                               "EMAIL;TYPE=INTERNET:j@example.de\r\n"
                               "CATEGORIES:Familie\r\n"
                               "X-PELLUCARD-SECOND-NUMBER-TYPE:Handy\r\n"))
                << bytes.toStdString();
            EXPECT_FALSE(bytes.contains("SECOND-NUMBER-TYPE:Work"));
        }
        auto copy = UsimList(kSamples + 1);
        int used = 0;
        const VCardImport result = ImportVCardsAsPhoneBook(*copy, used, ParseVCards(bytes), {});
        EXPECT_TRUE(result.report.IsEmpty())
            << ReportLines(result.report, 0).join(u'\n').toStdString();
        ASSERT_EQ(used, kSamples + 1);
        for (int row = 1; row <= kSamples; ++row)
            EXPECT_EQ(Entry(*copy, row), Entry(*source, row)) << int(version) << " row " << row;
        EXPECT_EQ(Entry(*copy, kSamples + 1), Cells("Two|112|+4687654321|Mobile|||"));
    }
}

TEST(UsimVCardTest, PublishedExamplesFillTheColumnsAndTheRestIsCounted) {
    // Property values from the examples of RFC 2426 and RFC 6350.
    const QByteArray bytes =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Mr. John Q. Public\\, Esq.\r\n"
        "NICKNAME:Jim,Jimmie\r\n"
        "TEL;TYPE=work,voice,pref,msg:+1-213-555-1234\r\n"
        "TEL;TYPE=CELL:+1-418-262-6501\r\n"
        "TEL;TYPE=HOME:+1-555-555-5555\r\n"
        "EMAIL;TYPE=internet:jqpublic@xyz.dom1.com\r\n"
        "EMAIL;TYPE=internet,pref:jane_doe@abc.com\r\n"
        "CATEGORIES:INTERNET,IETF,INDUSTRY,INFORMATION TECHNOLOGY\r\n"
        "CATEGORIES:TRAVEL AGENT\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Simon Perreault\r\n"
        "TEL;VALUE=uri;TYPE=\"work,voice\";PREF=1:tel:+1-418-656-9254;ext=102\r\n"
        "TEL;VALUE=uri;TYPE=\"work,cell,voice,video,text\":tel:+1-418-262-6501\r\n"
        "EMAIL;TYPE=work:simon.perreault@viagenie.ca\r\nNICKNAME;TYPE=work:Boss\r\n"
        "END:VCARD\r\n";
    auto list = UsimList(2);
    int used = 0;
    VCardImport result = ImportVCardsAsPhoneBook(*list, used, ParseVCards(bytes), {});
    ASSERT_EQ(result.imported, 2);
    EXPECT_EQ(Entry(*list, 1), Cells("Mr. John Q. Public, Esq.|+12135551234|+14182626501|Mobile|"
                                     "jqpublic@xyz.dom1.com|Jim,Jimmie|INTERNET"));
    EXPECT_EQ(Entry(*list, 2), Cells("Simon Perreault|+14186569254P102|+14182626501|Mobile|"
                                     "simon.perreault@viagenie.ca|Boss|"));
    // The third number, the second address and four further categories have no column.
    EXPECT_EQ(ReportLines(result.report, 0),
              QStringList({"Not kept, no field holds it: CATEGORIES (4).",
                           "Not kept, no field holds it: EMAIL (1).",
                           "Not kept, no field holds it: TEL (1)."}));
}

TEST(UsimTextTest, DelimitedTextRoundTripUnderTitlesOfAnotherLanguage) {
    ImportChecks checks;
    checks.numberColumns = {2, usim_column::kSecondNumber};
    checks.fieldWidths = true;
    const auto import = [&checks](const TextTable& table, RecordList& list) {
        const auto fields = ImportFieldsOf(ListKind::Contacts, list, kEntryColumns);
        int used = 0;
        return ImportRows(list, used, table, BuildMappingList(table.header, fields), {}, checks);
    };
    // Exported under German titles, imported into a list titled in English.
    const auto source = SampleEntries();
    auto german = UsimList(kSamples, 3);
    for (int row = 1; row <= kSamples; ++row)
        german->SetRow(row, source->Row(row));
    const QString text = ExportTextContent(*german, kSamples, kEntryColumns, u';');
    EXPECT_TRUE(text.startsWith("Alias;Telefon;Zweite Nummer;Typ;E-Mail;Zweiter Name;Gruppe\r\n"));
    auto copy = UsimList(kSamples);
    const ImportResult result = import(ParseTextTable(text, u';'), *copy);
    EXPECT_TRUE(result.report.IsEmpty()) << ReportLines(result.report, 0).join(u'\n').toStdString();
    for (int row = 1; row <= kSamples; ++row)
        EXPECT_EQ(Entry(*copy, row), Entry(*source, row)) << "row " << row;
}

}  // namespace
}  // namespace pellucard
