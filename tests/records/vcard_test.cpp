// vCard files: reading what phones and contact services write, and round trips of the
// record lists through every version.
#include <gtest/gtest.h>

#include <QFile>

#include "catalogue/catalogue.h"
#include "list_cells.h"
#include "records/record_slots.h"
#include "records/vcard.h"
#include "records/vcard_records.h"
#include "support/contact_list.h"
#include "support/scripted_dialogs.h"

namespace pellucard {
namespace {

QByteArray DataFile(const char* name) {
    QFile file(QStringLiteral(PELLUCARD_VCARD_DATA "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

using testing::Cells;
using testing::ColumnCells;
using testing::ContactList;
using testing::RowCells;

const VCardTyped* PhoneWith(const VCardContact& contact, const char* type) {
    for (const VCardTyped& phone : contact.phones) {
        if (phone.Has(type))
            return &phone;
    }
    return nullptr;
}

TEST(VCardReadTest, AndroidQuotedPrintable21) {
    const VCardFile file = ParseVCards(DataFile("android_21.vcf"));
    EXPECT_TRUE(file.problems.IsEmpty()) << ReportLines(file.problems, 0).join(u'\n').toStdString();
    ASSERT_EQ(file.contacts.size(), 2);
    const VCardContact& giorgos = file.contacts[0];
    EXPECT_EQ(giorgos.formattedName, QStringLiteral("Γιώργος Παπαδόπουλος"));
    ASSERT_EQ(giorgos.phones.size(), 2);
    EXPECT_EQ(PhoneWith(giorgos, "cell")->value, QStringLiteral("+30 697 123 4567"));
    // Soft line breaks join the note; its CR LF becomes one line break.
    EXPECT_EQ(giorgos.note, QStringLiteral("Κλήση μετά τις έξι\nΔεύτερη γραμμή με αρκετό "
                                           "κείμενο για να σπάσει"));
    const VCardContact& john = file.contacts[1];
    EXPECT_EQ(PhoneWith(john, "work")->value, QStringLiteral("+1 555 0100"));
    // The photo and its indented base64 lines are one property, counted and not kept.
    EXPECT_EQ(john.notKept, QStringList{QStringLiteral("PHOTO")});
}

TEST(VCardReadTest, IosFolded30WithGroups) {
    const VCardFile file = ParseVCards(DataFile("ios_30.vcf"));
    EXPECT_TRUE(file.problems.IsEmpty());
    ASSERT_EQ(file.contacts.size(), 1);
    const VCardContact& anna = file.contacts[0];
    EXPECT_TRUE(PhoneWith(anna, "cell")->Has("pref"));
    ASSERT_EQ(anna.emails.size(), 1);
    EXPECT_EQ(anna.emails[0].value, QStringLiteral("anna.berg@example.se"));
    ASSERT_EQ(anna.addresses.size(), 1);
    EXPECT_EQ(anna.addresses[0].parts[6], QStringLiteral("Sweden"));
    EXPECT_EQ(anna.note, QStringLiteral("Met at the ferry conference in Malmö, spring 2019.\n"
                                        "Call after six; never on Sundays."));
    EXPECT_EQ(anna.notKept.size(), 3);  // PRODID, X-ABLabel, X-ABADR
}

TEST(VCardReadTest, RfcExamplesUnfoldAndQuotedTypes) {
    const VCardFile file = ParseVCards(DataFile("rfc_examples.vcf"));
    EXPECT_TRUE(file.problems.IsEmpty());
    ASSERT_EQ(file.contacts.size(), 2);
    const VCardContact& frank = file.contacts[0];
    EXPECT_EQ(frank.addresses[0].parts, (QStringList{"", "", "6544 Battleford Drive", "Raleigh",
                                                     "NC", "27613-3502", "U.S.A."}));
    const VCardContact& simon = file.contacts[1];
    EXPECT_EQ(simon.birthday, QStringLiteral("--0203"));
    EXPECT_EQ(simon.gender, QStringLiteral("M"));
    ASSERT_EQ(simon.phones.size(), 2);
    EXPECT_TRUE(simon.phones[1].Has("cell"));
    EXPECT_EQ(simon.phones[1].value, QStringLiteral("tel:+1-418-262-6501"));  // as written

    // As personal records: typed numbers to their fields as a SIM dials them, the partial
    // birthday kept.
    auto list = ContactList(5);
    int used = 0;
    const VCardImport result = ImportVCardsAsPersons(*list, used, file);
    EXPECT_EQ(result.imported, 2);
    EXPECT_EQ(list->Text(1, 16), QStringLiteral("+19196769515"));           // office telephone
    EXPECT_EQ(list->Text(1, 18), QStringLiteral("+19196769564"));           // office fax
    EXPECT_EQ(list->Text(1, 15), QStringLiteral("fdawson@earthlink.net"));  // the second e-mail
    EXPECT_EQ(list->Text(1, 12), QStringLiteral("Raleigh, NC"));
    EXPECT_EQ(list->Text(2, 19), QStringLiteral("/02/03"));
    // tel:+1-418-656-9254;ext=102: the extension is dialled after a pause.
    EXPECT_EQ(list->Text(2, 16), QStringLiteral("+14186569254P102"));
    // ORG twice, LANG twice, ANNIVERSARY, GEO, KEY, TZ: counted, none guessed into a field.
    EXPECT_EQ(result.report.Total(ReportEntry::Kind::NotKept), 8);
}

TEST(VCardReadTest, DamagedLinesAreReportedAndTheRestImported) {
    const VCardFile file = ParseVCards(DataFile("damaged.vcf"));
    ASSERT_EQ(file.contacts.size(), 2);
    EXPECT_EQ(file.contacts[0].phones[0].value, QStringLiteral("+44 7700 900001"));
    EXPECT_EQ(file.contacts[1].formattedName, QStringLiteral("Cut Off"));
    const QStringList problems = ReportLines(file.problems, 0);
    ASSERT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("Line 1: outside BEGIN:VCARD")));
    EXPECT_TRUE(problems[1].startsWith(QStringLiteral("Line 5: not a vCard line")));
    EXPECT_TRUE(problems[2].startsWith(QStringLiteral("Line 8: the card that begins here has no")));
}

TEST(VCardPhoneBookTest, OneEntryPerNumberTheNameWholeBeforeItsType) {
    const VCardFile file = ParseVCards(DataFile("service_30.vcf") + DataFile("ios_30.vcf"));
    auto list = ContactList(6);
    int used = 1;
    list->SetText(1, 1, QStringLiteral("Kept"));
    // 14-byte alpha fields, as on a card with 28-byte records: "José Álvarez" needs UCS2 and
    // does not fit whole even without its type, so it is cut (and no type is left to show).
    VCardImport result = ImportVCardsAsPhoneBook(*list, used, file, CardNameFit(14));
    EXPECT_EQ(list->Text(1, 1), QStringLiteral("Kept"));
    EXPECT_EQ(ColumnCells(*list, 1, 2, 6),  // Li Wei has one number: no type
              Cells("José Álvare|José Álvare|José Álvare|José Álvare|Li Wei"));
    EXPECT_EQ(list->Text(2, 2), QStringLiteral("+34600111222"));
    EXPECT_EQ(result.imported, 5);
    EXPECT_EQ(result.report.Count(ReportEntry::Kind::Cut), 4);
    // The two numbers of Anna Berg found no slot: named, not dropped.
    ASSERT_EQ(result.report.Count(ReportEntry::Kind::NoFreeSlot), 2);
    const auto leftOut =
        std::find_if(result.report.entries.begin(), result.report.entries.end(),
                     [](const ReportEntry& e) { return e.kind == ReportEntry::Kind::NoFreeSlot; });
    EXPECT_TRUE(leftOut->before.startsWith(QStringLiteral("Anna Berg (mobile)")));
    EXPECT_EQ(used, 6);
    // What a phone book entry has no place for is counted, NOTE and NICKNAME included.
    EXPECT_EQ(result.report.Total(ReportEntry::Kind::NotKept), 15);

    ScriptedDialogs dialogs;
    ShowVCardImport(result, 0);
    EXPECT_EQ(dialogs.MessageIds(), MessageIdList{MessageId::VCardImportReport});
    const QString shown = dialogs.Calls()[0].message.text;
    EXPECT_TRUE(shown.contains(QStringLiteral(
        "Line 7, slot 2: Alias \"José Álvarez (mobile)\" is cut to \"José Álvare\".")))
        << shown.toStdString();

    // A name that fits: its type is shortened, then left out, never a letter of the name.
    const VCardFile ivan = ParseVCards(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Иван Петров\r\nTEL;TYPE=CELL:+7 912 345-67-89\r\n"
        "TEL;TYPE=HOME:+7 495 123-45-67\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nTEL;TYPE=WORK:1\r\nTEL;TYPE=WORK:2\r\n"
        "END:VCARD\r\n");
    auto card = ContactList(4);
    used = 0;
    result = ImportVCardsAsPhoneBook(*card, used, ivan, CardNameFit(14));
    // The 0x81 form holds 11 characters of Cyrillic in 14 bytes.
    EXPECT_EQ(ColumnCells(*card, 1, 1, 4),
              Cells("Иван Петров|Иван Петров|Ann Lee (work)|Ann Lee W2"));
    EXPECT_FALSE(result.report.HasLosses())
        << ReportLines(result.report, 0).join(u'\n').toStdString();
    EXPECT_TRUE(ReportLines(result.report, 0).value(0).startsWith("Line 4, slot 1: "));
    // Where names may be of any length, nothing is cut.
    card = ContactList(4);
    used = 0;
    result = ImportVCardsAsPhoneBook(*card, used, ivan, {});
    EXPECT_EQ(card->Text(1, 1), QStringLiteral("Иван Петров (mobile)"));
    EXPECT_TRUE(result.report.IsEmpty());
}

TEST(VCardPhoneBookTest, NumbersArriveDialableAndWhatNoSimDialsIsReported) {
    // As phones and services write them: grouped, as a tel: URI with an extension and other
    // parameters, with a pause, and a vanity number that no SIM can dial.
    const QByteArray bytes =
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Desk\r\n"
        "TEL;VALUE=uri;PREF=1;TYPE=\"voice,home\":tel:+1-555-555-5555;ext=5555\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:;Flowers;;;\r\nFN:Flowers\r\n"
        "TEL;CELL:+44 (0)7700 900-123\r\nTEL;WORK:1-800-FLOWERS\r\n"
        "TEL;HOME:tel:+1-201-555-0123;isub=8\r\nTEL;X-VOICEMAIL:+49 171 1234567,,1234#\r\n"
        "END:VCARD\r\n";
    const VCardFile file = ParseVCards(bytes);
    auto list = ContactList(8);
    int used = 0;
    const VCardImport result = ImportVCardsAsPhoneBook(*list, used, file, CharacterNameFit(40));
    ASSERT_EQ(used, 4);
    EXPECT_EQ(ColumnCells(*list, 1, 1, 4),
              Cells("Desk|Flowers (mobile)|Flowers (home)|Flowers (other)"));
    EXPECT_EQ(ColumnCells(*list, 2, 1, 4),
              Cells("+15555555555P5555|+447700900123|+12015550123|+491711234567PP1234#"));

    const QStringList lines = ReportLines(result.report, 0);
    ASSERT_EQ(lines.size(), 2) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Line 11: \"1-800-FLOWERS\" in TEL is no number a SIM can "
                                       "dial; the number was left out."));
    EXPECT_EQ(lines[1], QStringLiteral("Not kept, no field holds it: TEL;ISUB (1)."));
    EXPECT_TRUE(result.report.HasLosses());
}

// A personal record of every field.
void FillEveryField(RecordList& list, int row, const QString& tag) {
    const QStringList values = Cells(
        "Ann|+442079460000|Ann Marie Berg|1 High St, Flat 2|London|United Kingdom|SW1A 1AA|"
        "ann@home.example|02079460001|02079460002|Quay 5; Floor 3|Dover|UK|CT16 1|"
        "ann@work.example|01304000001|07700900123|01304000002|1980/04/23|Annie|Sailing, chess|"
        "https://ann.example|5|F|Line one\nLine two, with \\ backslash; and é");
    for (int column = 1; column <= 25; ++column)
        list.SetText(row, column, values[column - 1] + (column == 1 || column == 3 ? tag : ""));
}

TEST(VCardRoundTripTest, PersonalRecordsOfEveryFieldInEveryVersion) {
    auto source = ContactList(5);
    FillEveryField(*source, 1, QString());
    FillEveryField(*source, 3, QStringLiteral("ü"));
    source->SetText(3, 1, QString());                  // no alias: FN comes from the name
    source->SetText(3, 19, QStringLiteral("/12/31"));  // no year
    source->SetText(4, 1, QStringLiteral("Only Alias"));
    source->SetText(4, 19, QStringLiteral("1975/06/"));
    for (const VCardVersion version : {VCardVersion::V30, VCardVersion::V21, VCardVersion::V40}) {
        const QByteArray bytes = VCardsOfRows(*source, 5, VCardListKind::Person, version);
        if (version == VCardVersion::V21) {
            // Long quoted-printable values stay on one line: no soft line breaks.
            EXPECT_FALSE(bytes.contains("=\r\n"));
            EXPECT_TRUE(
                bytes.contains("NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Line one=0D=0A"
                               "Line two, with \\\\ backslash\\; and =C3=A9\r\n"))
                << bytes.toStdString();
        } else {
            for (const QByteArray& line : bytes.split('\n'))
                EXPECT_LE(line.size(), 77) << line.toStdString();
        }
        const VCardFile file = ParseVCards(bytes);
        EXPECT_TRUE(file.problems.IsEmpty());
        auto copy = ContactList(5);
        int used = 0;
        const VCardImport result = ImportVCardsAsPersons(*copy, used, file);
        EXPECT_EQ(result.imported, 3);
        EXPECT_TRUE(result.report.IsEmpty())
            << ReportLines(result.report, 0).join(u'\n').toStdString();
        int copyRow = 1;
        for (const int row : {1, 3, 4})
            EXPECT_EQ(RowCells(*copy, copyRow++, 1, 25), RowCells(*source, row, 1, 25))
                << "version " << int(version) << " row " << row;
    }
}

}  // namespace
}  // namespace pellucard
