// Delimited text files, the import mapping and the clipboard texts of the record lists.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <optional>

#include "catalogue/catalogue.h"
#include "list_cells.h"
#include "records/clipboard_text.h"
#include "records/column_names.h"
#include "records/delimited_text.h"
#include "records/person_fields.h"
#include "records/record_slots.h"
#include "records/text_export.h"
#include "records/text_import.h"
#include "support/contact_list.h"
#include "support/scripted_dialogs.h"

namespace pellucard {
namespace {

QList<int> Range(int first, int last) {
    QList<int> columns;
    for (int c = first; c <= last; ++c) {
        columns.append(c);
    }
    return columns;
}

using testing::Cells;
using testing::ColumnCells;
using testing::ContactList;
using testing::ReadAll;
using testing::RowCells;
using testing::WriteAll;

// The list column each entry of a mapping is linked to; 0 when none.
QList<int> LinkedColumns(const QList<MappingEntry>& mapping) {
    QList<int> columns;
    for (const MappingEntry& entry : mapping)
        columns.append(entry.column);
    return columns;
}

class TextExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
    QString Path(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
    ScriptedDialogs dialogs_;
};

TEST_F(TextExchangeTest, ExportWritesTheTitlesAndEveryUsedSlotAsUtf8Lines) {
    auto list = ContactList(10);
    list->SetText(1, 1, "Ann");
    list->SetText(1, 25, "café");
    list->SetText(2, 3, "王小明");
    ASSERT_TRUE(ExportText(*list, 2, Range(1, 25), kCommaDelimiter, Path("a.txt"), 0));
    QByteArray bytes = ReadAll(Path("a.txt"));
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "UTF-8 with a byte-order mark, always";
    bytes.remove(0, 3);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Alias,Phone,Name,Home Address,"));
    EXPECT_EQ(lines[1], "Ann" + QByteArray(24, ',') + "caf\xC3\xA9\r");
    EXPECT_EQ(lines[2], ",," + QString("王小明").toUtf8() + QByteArray(22, ','));

    // Only the name: no delimiters at all; an empty slot gives an empty line.
    ASSERT_TRUE(ExportText(*list, 2, {3}, kCommaDelimiter, Path("n.txt"), 0));
    EXPECT_EQ(ReadAll(Path("n.txt")), "\xEF\xBB\xBFName\r\n\r\n" + QString("王小明\r\n").toUtf8());
}

// Values with delimiters, quotes and line breaks come back whole. (The reader reads other
// programs' RFC 4180 quoting: ContactExports... and the malformed-line table.)
TEST_F(TextExchangeTest, ValuesWithDelimitersQuotesAndLineBreaksComeBackWhole) {
    const QStringList tricky = {"Smith, John", "12, High Street\r\nFlat 3",
                                "say \"hi\"",  "\"quoted\"",
                                "tab\there",   "",
                                "5\" disk",    "café",
                                "Δημήτρης"};
    RecordList list(2, static_cast<int>(tricky.size()) + 1);
    for (int c = 1; c <= tricky.size(); ++c) {
        list.SetText(0, c, QStringLiteral("F%1").arg(c));
        list.SetText(1, c, tricky[c - 1]);
    }
    for (const QChar delimiter : {kTabDelimiter, kCommaDelimiter}) {
        ASSERT_TRUE(ExportText(list, 1, Range(1, int(tricky.size())), delimiter, Path("q.txt"), 0));
        TextTable table;
        ASSERT_TRUE(ReadTextFile(table, Path("q.txt"), delimiter, 0));
        ASSERT_EQ(table.records.size(), 1);
        EXPECT_EQ(table.records[0], tricky);
    }
}

// UTF-16 with a mark, as some programs export (UTF-8 with and without one and Windows-1252:
// the import test below).
TEST_F(TextExchangeTest, Utf16FilesOfOtherProgramsRead) {
    TextTable table;
    QByteArray utf16("\xFF\xFE");
    for (QChar c : QString("Name\tNote\r\nΆννα\t€\r\n")) {
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    }
    WriteAll(Path("utf16.txt"), utf16);
    ASSERT_TRUE(ReadTextFile(table, Path("utf16.txt"), kTabDelimiter, 0));
    EXPECT_EQ(table.records[0], QStringList({"Άννα", "€"}));
}

// One malformed line between good ones, with each delimiter: the good lines arrive as they
// were, the bad one is reported with its number (or, where the tolerant readers find nothing
// wrong, arrives as they read it).
TEST_F(TextExchangeTest, AMalformedLineSpoilsNothingButItselfAndIsReportedWithItsNumber) {
    using Kind = ReportEntry::Kind;
    struct Case {
        const char* name;
        QString line;                // "|" stands for the delimiter
        QStringList arrives;         // empty: the line makes no record
        std::optional<Kind> report;  // what line 3 is reported as
        int linesTaken = 1;
    };
    const Case cases[] = {
        {"unterminated quote", "\"Eve|555|e", {}, Kind::UnclosedQuote},
        {"quote then text", "\"Eve\"x|555|e", {"Evex", "555", "e"}, Kind::QuoteInsideValue},
        {"quote closed mid-value",
         "\"broken|123|\"rest",
         {"broken|123|rest", "", ""},
         Kind::QuoteInsideValue},
        {"stray quotes", "Ev\"e|5\"55|e\"", {"Ev\"e", "5\"55", "e\""}, std::nullopt},
        {"empty lines", "\r\n\r\n", {}, std::nullopt, 2},
        {"short row", "Eve|555", {"Eve", "555", ""}, std::nullopt},
        {"long row", "Eve|555|e|extra|more", {"Eve", "555", "e"}, Kind::ExtraValues},
        {"trailing delimiters", "Eve|555|e||", {"Eve", "555", "e"}, std::nullopt},
        {"quoted line break",
         "Eve|555|\"two\r\nlines\"",
         {"Eve", "555", "two\r\nlines"},
         std::nullopt,
         2},
    };
    for (const QChar delimiter : {kCommaDelimiter, kSemicolonDelimiter, kTabDelimiter}) {
        for (const Case& c : cases) {
            const auto d = [delimiter](QString text) { return text.replace(u'|', delimiter); };
            QString bad = d(c.line);
            if (!bad.endsWith(u'\n'))
                bad += QStringLiteral("\r\n");
            const QString text = d("Name|Phone|Note\r\nAnn|111|a\r\n") + bad +
                                 d("Cid|\"333\"|c\r\nDan|444|\"d, \"\"quoted\"\"\"\r\n");
            const std::string where =
                std::string(c.name) + ", delimiter " + QString(delimiter).toStdString();
            WriteAll(Path("m.csv"), text.toUtf8());
            TextTable table;
            ASSERT_TRUE(ReadTextFile(table, Path("m.csv"), kCommaDelimiter, 0)) << where;
            EXPECT_EQ(table.delimiter, delimiter) << where;
            EXPECT_EQ(table.header, QStringList({"Name", "Phone", "Note"})) << where;
            QList<QStringList> expected{{"Ann", "111", "a"}};
            QList<int> lines{2};
            if (!c.arrives.isEmpty()) {
                QStringList arrives;
                for (const QString& value : c.arrives)
                    arrives.append(d(value));
                expected.append(arrives);
                lines.append(3);
            }
            expected += QList<QStringList>{{"Cid", "333", "c"}, {"Dan", "444", "d, \"quoted\""}};
            lines += QList<int>{3 + c.linesTaken, 4 + c.linesTaken};
            EXPECT_EQ(table.records, expected) << where;
            EXPECT_EQ(table.recordLines, lines) << where;
            if (c.report) {
                ASSERT_EQ(table.report.entries.size(), 1) << where;
                EXPECT_EQ(table.report.entries[0].kind, *c.report) << where;
                EXPECT_EQ(table.report.entries[0].line, 3) << where;
            } else {
                EXPECT_TRUE(table.report.IsEmpty()) << where;
            }
        }
    }
    // The reports name the line and what became of it.
    const TextTable table = ParseTextTable(
        "Name,Phone\r\n\"broken,123,\"rest\r\nBob,456,x,y\r\n\"Zed,1\r\n", kCommaDelimiter);
    EXPECT_EQ(ReportLines(table.report, 0),
              QStringList({"Line 2: a quote closes inside a value; the value was read as "
                           "\"broken,123,rest\".",
                           "Line 3: values beyond the column titles were left out: \"x,y\".",
                           "Line 4: a quote is not closed; the line was left out."}));
    EXPECT_EQ(table.records, (QList<QStringList>{{"broken,123,rest", ""}, {"Bob", "456"}}));
}

TEST_F(TextExchangeTest, TheDelimiterIsTheOneTheFirstLineHolds) {
    EXPECT_EQ(DetectDelimiter("Name;Phone;Note\r\nA,B;1;x", kCommaDelimiter), kSemicolonDelimiter);
    EXPECT_EQ(DetectDelimiter("\r\nName\tPhone\r\n", kCommaDelimiter), kTabDelimiter);
    EXPECT_EQ(DetectDelimiter("\"Smith, John\";Phone", kCommaDelimiter), kSemicolonDelimiter);
    EXPECT_EQ(DetectDelimiter("Name,Phone\tNote", kTabDelimiter), kTabDelimiter);     // a tie
    EXPECT_EQ(DetectDelimiter("Name\r\nAnn,Bob;Cid", kTabDelimiter), kTabDelimiter);  // none
    EXPECT_EQ(DetectDelimiter("", kCommaDelimiter), kCommaDelimiter);
    // A file read with the delimiter given, when asked to.
    WriteAll(Path("fixed.csv"), "Name;Phone\r\nAnn;1\r\n");
    TextTable table;
    ASSERT_TRUE(ReadTextFile(table, Path("fixed.csv"), kCommaDelimiter, 0, false));
    EXPECT_EQ(table.header, QStringList{"Name;Phone"});
}

TEST_F(TextExchangeTest, ImportLeavesOutAndReportsWhatItsFieldsCannotTake) {
    // UTF-8 with and without a byte-order mark and Windows-1252 read alike.
    const QByteArray body =
        "Alias,Phone\r\nJ\xC3\xBCrgen,+4912\r\n\"Ann,1\r\n"
        "Bob,12ab34\r\nCid," +
        QByteArray(60, '9') + "\r\n" + QByteArray(60, 'L') + ",5\r\nDan,7\r\n";
    QByteArray ansi = body;
    ansi.replace("J\xC3\xBCrgen", "J\xFCrgen");
    for (const QByteArray& bytes : {body, "\xEF\xBB\xBF" + body, ansi}) {
        dialogs_.Clear();
        WriteAll(Path("people.csv"), bytes);
        TextTable table;
        ASSERT_TRUE(ReadTextFile(table, Path("people.csv"), kCommaDelimiter, 0));
        auto list = ContactList(10);
        list->SetText(1, 1, QStringLiteral("kept"));
        const QList<MappingEntry> mapping =
            BuildMappingList(table.header, ImportFieldsOf(*list, Range(1, 25)));
        ImportChecks checks;
        checks.numberColumns = {2, 9, 10, 16, 17, 18};
        checks.fieldWidths = true;
        int used = 1;
        const ImportResult result = ImportRows(*list, used, table, mapping, {}, checks);
        EXPECT_EQ(result.imported, 2);
        EXPECT_EQ(used, 3);
        EXPECT_EQ(ColumnCells(*list, 1, 1, 4), Cells("kept|Jürgen|Dan|"));
        ShowImportShortfall(result, 0);
        ASSERT_EQ(dialogs_.MessageIds(), MessageIdList({MessageId::RecordsImported}));
        const QStringList lines = dialogs_.LastMessage().text.split(u'\n');
        ASSERT_EQ(lines.size(), 5) << dialogs_.LastMessage().text.toStdString();
        EXPECT_EQ(lines[0], "Records imported: 2");
        EXPECT_TRUE(lines[2].startsWith("Line 4: \"12ab34\" in Phone is no number a SIM can dial"));
        EXPECT_TRUE(lines[3].startsWith("Line 5: the text in Phone is longer"));
        EXPECT_TRUE(lines[4].startsWith("Line 6: the text in Alias is longer"));
    }
}

TEST_F(TextExchangeTest, DamagedOrForeignFilesAreRefusedWithAMessage) {
    TextTable table;
    table.header = {"kept"};
    EXPECT_FALSE(ReadTextFile(table, Path("missing.txt"), kCommaDelimiter, 0));
    WriteAll(Path("empty.txt"), "\r\n\r\n");
    EXPECT_FALSE(ReadTextFile(table, Path("empty.txt"), kCommaDelimiter, 0));
    WriteAll(Path("wide.txt"), QByteArray(kMaxTextFields + 5, ','));
    EXPECT_FALSE(ReadTextFile(table, Path("wide.txt"), kCommaDelimiter, 0));
    QFile huge(Path("huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kMaxTextFileBytes + 1));
    huge.close();
    EXPECT_FALSE(ReadTextFile(table, Path("huge.txt"), kCommaDelimiter, 0));
    EXPECT_EQ(dialogs_.MessageIds(),
              MessageIdList({MessageId::FileNotRead, MessageId::NoFieldNames,
                             MessageId::TextFileTooLarge, MessageId::TextFileTooLarge}));
    EXPECT_EQ(table.header, QStringList({"kept"}));
}

TEST_F(TextExchangeTest, FieldNamesLinkToTitlesKeysAndExportTitlesAndTheMappingDialogRelinks) {
    auto list = ContactList(5);
    const QList<ImportField> fields = ImportFieldsOf(ListKind::Contacts, *list, Range(1, 25));
    ASSERT_EQ(fields.size(), 25);
    // Titles as written first, then the tool's JSON keys and the exports' titles, then either
    // with letter case aside; a record field is linked to one text field only.
    QList<MappingEntry> mapping = BuildMappingList(
        {"name", "PHONE", "Mobile", "Name", "First Name", "E-mail Address", "Remark"}, fields);
    ASSERT_EQ(LinkedColumns(mapping), QList<int>({1, 2, 17, 3, 0, 8, 0}));
    for (const MappingEntry& entry : mapping)
        EXPECT_EQ(entry.ticked, entry.column > 0) << entry.fieldName.toStdString();

    ImportField phone;
    phone.column = 2;
    phone.title = "Phone";
    LinkMappingEntry(mapping, 6, phone);
    EXPECT_EQ(mapping[1].column, 0);
    EXPECT_TRUE(mapping[1].linkTitle.isEmpty());
    EXPECT_EQ(mapping[6].column, 2);
    EXPECT_FALSE(mapping[6].ticked) << "linking leaves the tick as it was";

    // The parts of a name fill the alias together; a file's only name is the alias.
    mapping =
        BuildMappingList({"First Name", "Middle Name", "Last Name", "Phone 1 - Value"}, fields);
    EXPECT_EQ(LinkedColumns(mapping), QList<int>({1, 1, 1, 2}));
    EXPECT_TRUE(mapping[0].namePart && mapping[1].namePart && mapping[2].namePart);
    mapping = BuildMappingList({"Name", "Phone"}, fields);
    EXPECT_EQ(LinkedColumns(mapping), QList<int>({1, 2}));

    // The phone book offers the name and number only: export titles find them there.
    RecordList phoneBook(3, 27);
    phoneBook.SetText(0, 1, "Alias");
    phoneBook.SetText(0, 2, "Phone");
    const QList<ImportField> entry = ImportFieldsOf(ListKind::Contacts, phoneBook, Range(1, 25));
    EXPECT_EQ(entry.size(), 2) << "blank titles (the phone book's hidden columns) are not offered";
    EXPECT_EQ(
        LinkedColumns(BuildMappingList({"Name", "Phone 1 - Value", "Mobile Phone", ""}, entry)),
        QList<int>({1, 2, 0, 0}));
}

TEST_F(TextExchangeTest, TitlesOfEveryLanguageAndFormerSpellingsLinkWhateverTheLanguageInForce) {
    for (int exported = 0; exported < kLanguageCount; ++exported) {
        QStringList header;
        for (const MessageId title : kContactFieldTitles)
            header.append(Message(title, exported));
        // The list titled in another language.
        auto list = ContactList(2);
        for (int column = 1; column <= 25; ++column)
            list->SetText(0, column, Message(kContactFieldTitles[column - 1], (exported + 3) % 8));
        EXPECT_EQ(LinkedColumns(BuildMappingList(
                      header, ImportFieldsOf(ListKind::Contacts, *list, Range(1, 25)))),
                  Range(1, 25))
            << "exported in language " << exported;
    }
    // The titles of one language never name another field in any other.
    for (int a = 1; a <= 25; ++a) {
        for (int b = a + 1; b <= 25; ++b) {
            for (const QString& title : NamesOfColumn(ListKind::Contacts, a).titles) {
                EXPECT_FALSE(NamesOfColumn(ListKind::Contacts, b)
                                 .titles.contains(title, Qt::CaseInsensitive))
                    << title.toStdString();
            }
        }
    }
    const QList<ImportField> fields =
        ImportFieldsOf(ListKind::Contacts, *ContactList(2), Range(1, 25));
    EXPECT_EQ(LinkedColumns(BuildMappingList({"Name", "Moblie Phone"}, fields)),
              QList<int>({1, 17}));
    // Both spellings in one file: the field is filled once, from the first.
    EXPECT_EQ(LinkedColumns(BuildMappingList({"mobile phone", "MOBLIE PHONE"}, fields)),
              QList<int>({17, 0}));
}

// Contact exports as Google Contacts (UTF-8, quotes where needed, " ::: " between several
// values) and Outlook (every value quoted, Windows-1252) write them.
TEST_F(TextExchangeTest, ContactExportsArriveWithNamesAndDialableNumbersByTheirOwnTitles) {
    const auto import = [](const char* file, RecordList& list, int fieldCount) {
        TextTable table;
        EXPECT_TRUE(
            ReadTextFile(table, QStringLiteral(PELLUCARD_VCARD_DATA "/") + file, kTabDelimiter, 0));
        ImportChecks checks;
        checks.numberColumns = {kContactNumberColumns.begin(), kContactNumberColumns.end()};
        checks.fieldWidths = true;
        int used = 0;
        const ImportResult result = ImportRows(
            list, used, table,
            BuildMappingList(table.header,
                             ImportFieldsOf(ListKind::Contacts, list, Range(1, fieldCount))),
            {}, checks);
        EXPECT_EQ(used, result.imported);
        return result;
    };
    // Into the phone book: the name's parts make the name, the numbers are dialable.
    const auto phoneBook = [] {
        auto book = std::make_unique<RecordList>(5, 27);
        book->SetText(0, 1, "Alias");
        book->SetText(0, 2, "Phone");
        return book;
    };
    auto book = phoneBook();
    ImportResult result = import("google_contacts.csv", *book, 2);
    ASSERT_EQ(result.imported, 3);
    EXPECT_EQ(ColumnCells(*book, 1, 1, 3),
              Cells("Иван Петров|Γιώργος Παπαδόπουλος|Anna Maria Berg"));
    EXPECT_EQ(ColumnCells(*book, 2, 1, 3), Cells("+79123456789|+306971234567|0701234567"));
    const QStringList lines = ReportLines(result.report, 0);
    EXPECT_EQ(lines.value(0),
              "Line 3, slot 2: Phone holds more than one number; \"+30 697 765 "
              "4321\" was left out.");
    EXPECT_TRUE(
        lines.contains("The column \"Phone 2 - Value\" fills no field; its 1 values were "
                       "left out."))
        << lines.join(u'\n').toStdString();
    EXPECT_FALSE(
        lines.contains("The column \"First Name\" fills no field; its 3 values were left "
                       "out."));

    // Into personal records: every field the export names.
    auto people = ContactList(5);
    result = import("outlook_contacts.csv", *people, 25);
    ASSERT_EQ(result.imported, 2);
    EXPECT_EQ(RowCells(*people, 1, 1, 25),
              Cells("François Dupré|||||||francois@example.fr|0123456789||29 boulevard Haussmann|"
                    "Paris|France|75009||+33142142000|+33612345678|||||http://example.fr/|||"
                    "Assistant: Mme Roux\r\nPrefers mornings"));
    EXPECT_EQ(people->Text(2, 5), "München");
    EXPECT_FALSE(result.report.HasLosses())
        << ReportLines(result.report, 0).join(u'\n').toStdString();
}

TEST_F(TextExchangeTest, ImportFillsTheFreeSlotsAndTellsHowManyWereLeftOut) {
    auto list = ContactList(100);
    for (int row = 1; row <= 95; ++row) {
        list->SetText(row, 1, QStringLiteral("old%1").arg(row));
    }
    TextTable table;
    table.header = {"Name", "Phone", "Ignored"};
    for (int k = 1; k <= 10; ++k) {
        table.records.append({QStringLiteral("n%1").arg(k), QStringLiteral("%1").arg(k), "x"});
    }
    QList<MappingEntry> mapping =
        BuildMappingList(table.header, ImportFieldsOf(*list, Range(1, 25)));
    mapping[1].ticked = false;  // a linked field that is not ticked is ignored
    int used = 95;
    const ImportResult result = ImportRows(*list, used, table, mapping);
    EXPECT_EQ(result.imported, 5);
    EXPECT_EQ(used, 100);
    EXPECT_EQ(list->Text(95, 1), "old95");
    EXPECT_EQ(list->Text(96, 3), "n1");
    EXPECT_EQ(list->Text(100, 3), "n5");
    EXPECT_EQ(list->Text(96, 2), "");

    ShowImportShortfall(result, 0);
    ASSERT_EQ(dialogs_.MessageIds(), MessageIdList({MessageId::RecordsImported}));
    EXPECT_EQ(dialogs_.LastMessage().text,
              "Records imported: 5\nRecords left out because the list has no free slot for them: "
              "5\nThe column \"Ignored\" fills no field; its 10 values were left out.");
    ShowImportShortfall({3, 0, {}}, 0);
    EXPECT_EQ(dialogs_.MessageIds().size(), 1) << "nothing to say when everything fitted";

    // The SMS list keeps the message twice: what is imported into column 3 goes to 2 too.
    RecordList sms(4, 10);
    sms.SetText(0, 3, "Message");
    table.header = {"message"};
    table.records = {{"hello"}};
    used = 0;
    ImportRows(sms, used, table, BuildMappingList(table.header, ImportFieldsOf(sms, Range(1, 8))),
               {{3, 2}});
    EXPECT_EQ(sms.Text(1, 3), "hello");
    EXPECT_EQ(sms.Text(1, 2), "hello");
    EXPECT_EQ(used, 1);
}

TEST_F(TextExchangeTest, ClipboardTextsOfTheMarkedRowsAndThePasteOfTheFieldForm) {
    auto list = ContactList(4);
    list->SetText(1, 1, "Ann");
    list->SetText(1, 25, "two\r\nlines");
    list->SetText(1, 26, "1");
    list->SetText(2, 1, "unmarked");
    list->SetText(3, 3, "Cid");
    list->SetText(3, 26, "1");
    const QString fieldText = ClipboardFieldText(*list, 1, 3, 26, "1", 25);
    EXPECT_TRUE(fieldText.startsWith("Alias:\r\nAnn\r\nPhone:\r\n\r\nName:\r\n\r\n"));
    EXPECT_EQ(fieldText.count("Alias:\r\n"), 2);
    EXPECT_FALSE(fieldText.contains("unmarked"));

    EXPECT_EQ(ClipboardTableText(*list, 1, 3, 26, "1", 2), "Alias\tPhone\r\nAnn\t\r\n\t\r\n");

    QList<TitledField> fields;
    for (int c = 1; c <= 25; ++c) {
        fields.append({list->Text(0, c), c});
    }
    auto target = ContactList(3);
    int used = 1;
    EXPECT_EQ(PasteFieldText(*target, used, fieldText, fields), 2);
    EXPECT_EQ(used, 3);
    EXPECT_EQ(target->Text(2, 1), "Ann");
    EXPECT_EQ(target->Text(2, 25), "two\r\nlines");
    EXPECT_EQ(target->Text(3, 3), "Cid");
    EXPECT_EQ(PasteFieldText(*target, used, fieldText, fields), 0) << "the list is full";
    EXPECT_TRUE(ParseFieldText("NAME:", fields).isEmpty()) << "a single line is ignored";
    EXPECT_EQ(ParseFieldText("junk\nNAME:\nZoe\n", fields).value(0).value(3), "Zoe");
}

}  // namespace
}  // namespace pellucard
