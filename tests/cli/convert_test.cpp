// pellucard-cli's files: convert, and read -o / write of .SPB, .sms and text files.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;

class ConvertTest : public pellucard::testing::CardFolderTest {
protected:
    void Convert(const QString& in, const QString& out, const QStringList& options = {}) const {
        const CliRun run = Cli(QStringList{"convert", Path(in), Path(out)} + options);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    QJsonArray JsonFile(const QString& name) const {
        return QJsonDocument::fromJson(Read(name)).array();
    }
};

// Every slot of `converted` says what the same slot of `original` says; slots beyond it are
// empty in the original.
void ExpectSameSlots(const QJsonArray& original, const QJsonArray& converted,
                     const QStringList& keys) {
    ASSERT_LE(converted.size(), original.size());
    for (qsizetype i = 0; i < original.size(); ++i) {
        const QJsonObject a = original[i].toObject();
        const QJsonObject b = i < converted.size() ? converted[i].toObject() : QJsonObject();
        for (const QString& key : keys) {
            if (i < converted.size()) {
                EXPECT_EQ(a[key], b[key]) << "slot " << i + 1 << ", " << key.toStdString();
            } else if (a[key].isString()) {
                EXPECT_TRUE(a[key].toString().isEmpty()) << "slot " << i + 1;
            }
        }
    }
}

TEST_F(ConvertTest, TheDemoCardRoundTripsThroughSpbAndSmsWithoutLosingACharacter) {
    const QJsonArray book = CardJson("phonebook");
    const QJsonArray messages = CardJson("sms");
    Write("book.json", QJsonDocument(book).toJson());
    Write("sms.json", QJsonDocument(messages).toJson());

    Convert("book.json", "book.SPB");
    Convert("book.SPB", "book2.json");
    ExpectSameSlots(book, JsonFile("book2.json"), {"slot", "name", "number"});
    Convert("sms.json", "sms.sms");
    Convert("sms.sms", "sms2.json");
    const QStringList fields = {"slot", "status", "address", "text", "sc", "timestamp", "validity"};
    ExpectSameSlots(messages, JsonFile("sms2.json"), fields);

    // read -o keeps the card-side list, slot n holding record n, as the windows save it.
    ASSERT_EQ(Cli(Card() + QStringList{"phonebook", "read", "-o", Path("card.SPB")}).exitCode, 0);
    EXPECT_EQ(Read("card.SPB"), Read("book.SPB"));
    ASSERT_EQ(Cli(Card() + QStringList{"sms", "read", "-o", Path("card.sms")}).exitCode, 0);
    EXPECT_EQ(Read("card.sms"), Read("sms.sms"));

    // And writing those files back gives the card the same records.
    ASSERT_EQ(Cli(Card() + QStringList{"phonebook", "write", Path("card.SPB")}).exitCode, 0);
    ASSERT_EQ(Cli(Card() + QStringList{"sms", "write", Path("card.sms")}).exitCode, 0);
    ExpectSameSlots(book, CardJson("phonebook"), {"slot", "name", "number"});
    ExpectSameSlots(messages, CardJson("sms"), fields);
}

TEST_F(ConvertTest, TextFilesCarryTheColumnTitlesAndComeBackByteForByte) {
    Write("book.json", QJsonDocument(CardJson("phonebook")).toJson());
    Write("sms.json", QJsonDocument(CardJson("sms")).toJson());
    Convert("book.json", "book.SPB");
    Convert("sms.json", "sms.sms");

    Convert("book.SPB", "book.csv");
    const QByteArray csv = Read("book.csv");
    EXPECT_TRUE(
        csv.startsWith("\xEF\xBB\xBF"
                       "Alias,Phone\r\nAlice Martin,+441632960123\r\n"))
        << "UTF-8 for the Chinese and Cyrillic names";
    Convert("book.csv", "book2.SPB");
    EXPECT_EQ(Read("book2.SPB"), Read("book.SPB"));

    Convert("sms.sms", "sms.txt");
    EXPECT_TRUE(Read("sms.txt").contains(
        "Source/Destination\tMessage\tStatus\tIncoming Time\tService Centre Address\t"
        "Validity Period\r\n"));
    Convert("sms.txt", "sms2.sms");
    // Text has no room for the part marks of a message sent in parts: the fields come back.
    const auto fields = [](QByteArray sms) {
        for (qsizetype slot = 0; slot + 1092 <= sms.size(); slot += 1092)
            sms.replace(slot + 546, 546, QByteArray(546, '\0'));
        return sms;
    };
    EXPECT_EQ(Read("sms2.sms"), fields(Read("sms.sms")));
    Convert("sms.sms", "sms.csv", {"--delimiter", "tab"});
    EXPECT_TRUE(Read("sms.csv").contains("Source/Destination\tMessage"));
}

TEST_F(ConvertTest, RefusesWhatTheOutputCannotHoldUnlessForced) {
    // 70 Chinese characters: a UCS2 message, but 210 bytes of UTF-8 for a 160-byte field.
    const QString long70 = QString("你好").repeated(35);
    Write("long.json", QString(R"([{"slot": 1, "status": 7, "address": "+1", "text": "%1",
                                     "sc": "", "validity": 167}])")
                           .arg(long70)
                           .toUtf8());
    CliRun run = Cli({"convert", Path("long.json"), Path("long.sms")});
    EXPECT_EQ(run.exitCode, 1);
    // The message the file keeps twice (as typed and as shown) is one loss.
    EXPECT_EQ(run.err.count("slot 1, Message: \""), 1) << run.err.toStdString();
    Convert("long.json", "long.sms", {"--force"});
}

// An entry of a later block of a USIM phone book has no slot in a file of the card's EF ADN:
// converting it away stops and says so, unless --force.
TEST_F(ConvertTest, ALaterUsimBlocksEntryIsALossNotASilentDrop) {
    Write("book.json", R"([{"slot": 1, "name": "Alice", "number": "+441632960123"},
                           {"block": 2, "slot": 1, "name": "Zoe", "number": "+15551234"}])");
    const CliRun stopped = Cli(QStringList{"convert", Path("book.json"), Path("book.csv")});
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_TRUE(stopped.err.contains("of a later block of a USIM phone book"))
        << stopped.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("book.csv")));
    Convert("book.json", "book.csv", {"--force"});
    EXPECT_FALSE(Read("book.csv").contains("Zoe"));
    EXPECT_TRUE(Read("book.csv").contains("Alice"));
}

// A USIM entry's fields travel through vCard, text and .SPB files (in the contact fields of the
// same meaning, as the phone book window keeps them) and come back as they were. What a row has
// no room for (a second additional number or e-mail) is a loss, never a silent drop. The empty
// places of a USIM's JSON are none.
TEST_F(ConvertTest, AUsimEntrysFieldsTravelThroughVCardTextAndSpb) {
    Write("book.json", R"([
        {"slot": 1, "name": "Al", "number": "0123", "numbers": [{"number": "+4456", "type": "Home"}],
         "emails": ["al@example.org"], "second_name": "Ali", "groups": ["Family", "Work"]},
        {"slot": 2, "name": "Bo", "number": "+4477", "numbers": [], "emails": [],
         "second_name": "", "groups": []}])");
    const QJsonArray book = JsonFile("book.json");
    ASSERT_EQ(book.size(), 2);
    for (const QString format : {"vcf", "csv", "txt", "SPB"}) {
        SCOPED_TRACE(format.toStdString());
        Convert("book.json", "book." + format);
        Convert("book." + format, "back.json");
        EXPECT_EQ(JsonFile("back.json"), book);
    }
    Convert("book.SPB", "book.csv");  // the contact fields of the loop's last .SPB
    EXPECT_TRUE(Read("book.csv").contains(",al@example.org,+4456,,,,,,,,,,,Ali,\"Family, Work\","));

    Write("more.json", R"([{"slot": 1, "name": "Al", "number": "0123", "numbers": [
        {"number": "", "type": ""}, {"number": "+4456", "type": "Home"},
        {"number": "+4499", "type": "Work"}], "emails": ["al@example.org", "al@example.net"]}])");
    const CliRun stopped = Cli(QStringList{"convert", Path("more.json"), Path("more.vcf")});
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_EQ(stopped.err.count("slot 1, "), 2) << stopped.err.toStdString();
    EXPECT_TRUE(stopped.err.contains("slot 1, numbers: \"+4499 (Work)\" is left out"));
    EXPECT_TRUE(stopped.err.contains("slot 1, emails: \"al@example.net\" is left out"));
    EXPECT_FALSE(QFile::exists(Path("more.vcf")));
}

}  // namespace
