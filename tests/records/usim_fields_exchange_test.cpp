// A USIM phone book's second number with its type, e-mail, second name and group through vCard
// and delimited text, both ways.
#include <gtest/gtest.h>

#include <QFile>

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
using testing::RowCells;

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

std::unique_ptr<RecordList> SampleEntries() {
    auto list = UsimList(7);
    SetEntry(*list, 1, "Anna Berg|+46701234567|+4687654321|Work|anna@example.se|Annie|Friends");
    // Types that vCard names but in other words: the text comes back as written.
    SetEntry(*list, 2, "Jürgen|0301234567|01711234567|Handy|j@example.de|Jürgen Müller|Familie");
    SetEntry(*list, 3, "Zoë, Ltd; x\\y|123|456|Satellite; boat|z@example.com|A, B|Work, close");
    SetEntry(*list, 4, "Νίκος|+302101234567|+302109999999|Φαξ οικίας|||Οικογένεια");
    // A type without a second number, and an entry of an e-mail address alone.
    SetEntry(*list, 5, "Type Only|112||Home|||");
    SetEntry(*list, 6, "|||||only@example.com||");
    SetEntry(*list, 7, "Plain|5550100|||||");
    return list;
}

TEST(UsimNumberTypeTest, TypeTextsInEveryLanguageAndBack) {
    const QList<std::pair<const char*, QStringList>> cases = {
        {"Mobile", {"cell"}},
        {"handy", {"cell"}},
        {"Telemóvel", {"cell"}},
        {"Κινητό", {"cell"}},
        {"Thuis", {"home"}},
        {"Telefone (casa)", {"home"}},
        {"Τηλέφωνο οικίας", {"home"}},
        {"Bureau", {"work"}},
        {"Telefon geschäftlich", {"work"}},
        {"Fax privé", {"home", "fax"}},
        {"Home fax", {"home", "fax"}},
        {"Fax (ufficio)", {"work", "fax"}},
        {"Pager", {"pager"}},
        {"Satellite", {}},
        {"Home boat", {}},  // one word it does not know keeps the text alone
        {"Phone", {}},
        {"", {}},
    };
    for (const auto& [text, types] : cases)
        EXPECT_EQ(VCardTypesOfNumberType(QString::fromUtf8(text)), types) << text;

    EXPECT_EQ(NumberTypeOfVCardTypes({"work", "cell", "voice", "video", "text"}), "Mobile");
    EXPECT_EQ(NumberTypeOfVCardTypes({"voice", "msg", "work"}), "Work");
    EXPECT_EQ(NumberTypeOfVCardTypes({"fax", "work"}), "Work fax");
    EXPECT_EQ(NumberTypeOfVCardTypes({"voice", "pref"}), "");
    // The English words come back as they went.
    for (const char* text : {"Mobile", "Home", "Work", "Fax", "Home fax", "Work fax", "Pager"})
        EXPECT_EQ(NumberTypeOfVCardTypes(VCardTypesOfNumberType(text)), text);
}

TEST(UsimVCardTest, EntriesComeBackCellForCellInEveryVersion) {
    const auto source = SampleEntries();
    for (const VCardVersion version : {VCardVersion::V21, VCardVersion::V30, VCardVersion::V40}) {
        const QByteArray bytes = VCardsOfRows(*source, 7, VCardListKind::PhoneBook, version);
        if (version == VCardVersion::V30) {
            EXPECT_TRUE(bytes.contains("TEL;TYPE=WORK:+4687654321\r\n")) << bytes.toStdString();
            EXPECT_TRUE(bytes.contains("TEL;TYPE=CELL:01711234567\r\n"));
            EXPECT_TRUE(bytes.contains("X-PELLUCARD-SECOND-NUMBER-TYPE:Handy\r\n"));
            EXPECT_TRUE(bytes.contains("TEL;TYPE=HOME,FAX:+302109999999\r\n"));
            EXPECT_TRUE(bytes.contains("TEL:456\r\n"));
            EXPECT_TRUE(bytes.contains("CATEGORIES:Work\\, close\r\n"));
            EXPECT_TRUE(bytes.contains("NICKNAME:Annie\r\n"));
            EXPECT_TRUE(bytes.contains("EMAIL;TYPE=INTERNET:anna@example.se\r\n"));
            EXPECT_FALSE(bytes.contains("SECOND-NUMBER-TYPE:Work"));
        }
        if (version == VCardVersion::V21) {
            EXPECT_TRUE(bytes.contains("TEL;CELL:01711234567\r\n")) << bytes.toStdString();
            EXPECT_TRUE(bytes.contains("CATEGORIES:Work\\, close\r\n"));
        }
        const VCardFile file = ParseVCards(bytes);
        EXPECT_TRUE(file.problems.IsEmpty());
        auto copy = UsimList(7);
        int used = 0;
        const VCardImport result = ImportVCardsAsPhoneBook(*copy, used, file, {});
        EXPECT_TRUE(result.report.IsEmpty())
            << int(version) << ReportLines(result.report, 0).join(u'\n').toStdString();
        ASSERT_EQ(used, 7);
        for (int row = 1; row <= 7; ++row)
            EXPECT_EQ(Entry(*copy, row), Entry(*source, row)) << int(version) << " row " << row;
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

    // With no slot left the contact is named, not dropped.
    result = ImportVCardsAsPhoneBook(*list, used, ParseVCards(bytes), {});
    EXPECT_EQ(result.imported, 0);
    EXPECT_EQ(result.report.Count(ReportEntry::Kind::NoFreeSlot), 2);
    EXPECT_EQ(Entry(*list, 2).value(0), "Simon Perreault");

    // A name the card cannot hold whole is cut and said so; the other fields are whole.
    auto card = UsimList(1);
    used = 0;
    result = ImportVCardsAsPhoneBook(*card, used, ParseVCards(bytes), CardNameFit(10));
    EXPECT_EQ(Entry(*card, 1).mid(0, 2), Cells("Mr. John Q|+12135551234"));
    EXPECT_EQ(result.report.Count(ReportEntry::Kind::Cut), 1);
}

TEST(UsimVCardTest, FilesOfRfcExamplesAndServices) {
    // The published examples in the test data: Frank Dawson (RFC 2426), Simon Perreault (RFC
    // 6350); and a service's export of a contact with four numbers.
    QFile rfc(QStringLiteral(PELLUCARD_VCARD_DATA "/rfc_examples.vcf"));
    ASSERT_TRUE(rfc.open(QIODevice::ReadOnly));
    auto list = UsimList(4);
    int used = 0;
    ImportVCardsAsPhoneBook(*list, used, ParseVCards(rfc.readAll()), {});
    EXPECT_EQ(Entry(*list, 1), Cells("Frank Dawson|+19196769515|+19196769564|Work fax|"
                                     "Frank_Dawson@Lotus.com||"));
    EXPECT_EQ(Entry(*list, 2).mid(0, 5), Cells("Simon Perreault|+14186569254P102|+14182626501|"
                                               "Mobile|simon.perreault@viagenie.ca"));
}

TEST(UsimVCardTest, ListsWithoutTheColumnsKeepOneEntryPerNumber) {
    const QByteArray bytes =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Li Wei\r\nTEL;TYPE=CELL:+8613800138000\r\n"
        "TEL;TYPE=HOME:+861012345678\r\nNICKNAME:Xiao Li\r\nCATEGORIES:myContacts,Work\r\n"
        "END:VCARD\r\n";
    auto gsm = std::make_unique<RecordList>(4, 27);
    int used = 0;
    const VCardImport result = ImportVCardsAsPhoneBook(*gsm, used, ParseVCards(bytes), {});
    EXPECT_EQ(used, 2);
    EXPECT_EQ(RowCells(*gsm, 2, 1, 2), Cells("Li Wei (home)|+861012345678"));
    EXPECT_EQ(ReportLines(result.report, 0),
              QStringList({"Not kept, no field holds it: CATEGORIES (2).",
                           "Not kept, no field holds it: NICKNAME (1)."}));
    // Exported, such a list writes no USIM property.
    const QByteArray exported = VCardsOfRows(*gsm, 2, VCardListKind::PhoneBook, VCardVersion::V30);
    EXPECT_FALSE(exported.contains("CATEGORIES") || exported.contains("NICKNAME"));
}

TEST(UsimTextTest, DelimitedTextRoundTripAndTitlesOfOtherLanguagesAndServices) {
    const auto source = SampleEntries();
    ImportChecks checks;
    checks.numberColumns = {2, usim_column::kSecondNumber};
    checks.fieldWidths = true;
    // Exported under German titles, imported into a list titled in English.
    auto german = UsimList(7, 3);
    for (int row = 1; row <= 7; ++row)
        german->SetRow(row, source->Row(row));
    const QString text = ExportTextContent(*german, 7, kEntryColumns, u';');
    EXPECT_TRUE(text.startsWith("Alias;Telefon;Zweite Nummer;Typ;E-Mail;Zweiter Name;Gruppe\r\n"))
        << text.toStdString();
    const TextTable table = ParseTextTable(text, u';');
    auto copy = UsimList(7);
    const QList<MappingEntry> mapping =
        BuildMappingList(table.header, ImportFieldsOf(ListKind::Contacts, *copy, kEntryColumns));
    int used = 0;
    const ImportResult result = ImportRows(*copy, used, table, mapping, {}, checks);
    EXPECT_TRUE(result.report.IsEmpty()) << ReportLines(result.report, 0).join(u'\n').toStdString();
    ASSERT_EQ(used, 7);
    for (int row = 1; row <= 7; ++row)
        EXPECT_EQ(Entry(*copy, row), Entry(*source, row)) << "row " << row;

    // Google Contacts' titles; the second number is read as a SIM dials it.
    const TextTable google = ParseTextTable(
        "Name,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,E-mail 1 - Value,Nickname,"
        "Group Membership\r\nAnna,+46 70 123 45 67,Mobile,+46 (8) 765-4321,a@example.se,Ann,"
        "Friends\r\n",
        u',');
    auto fromGoogle = UsimList(1);
    used = 0;
    ImportRows(*fromGoogle, used, google,
               BuildMappingList(google.header,
                                ImportFieldsOf(ListKind::Contacts, *fromGoogle, kEntryColumns)),
               {}, checks);
    EXPECT_EQ(Entry(*fromGoogle, 1),
              Cells("Anna|+46701234567|+4687654321|Mobile|a@example.se|Ann|Friends"));
}

}  // namespace
}  // namespace pellucard
