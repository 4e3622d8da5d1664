// pellucard-cli never drops or cuts records without a word: writes and conversions that
// cannot keep every record stop before writing anything unless --force, oversized input is
// refused unread, and codes can be given without the command line.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;

class NoLossTest : public pellucard::testing::CardFolderTest {
protected:
    QStringList Card() const { return Reader(); }
};

TEST_F(NoLossTest, ConversionOfMoreRowsThanAFileHoldsStopsUnlessForced) {
    QByteArray text = "Name,Number\r\n";
    for (int row = 1; row <= 10001; ++row)
        text += "Person " + QByteArray::number(row) + "," + QByteArray::number(row) + "\r\n";
    Write("many.csv", text);
    CliRun run = Cli({"convert", Path("many.csv"), Path("many.SPB")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("1 rows after the first 10000")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("many.SPB")));

    Write("kept.SPB", "what was there");
    run = Cli({"convert", Path("many.csv"), Path("kept.SPB")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Read("kept.SPB"), QByteArray("what was there"));

    run = Cli({"convert", Path("many.csv"), Path("many.SPB"), "--force"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("left out")) << run.err.toStdString();
}

TEST_F(NoLossTest, ADamagedTextLineStopsTheConversion) {
    Write("people.csv", "Alias,Phone\r\n\"Ann,1\r\nBob,2\r\n");
    CliRun run = Cli({"convert", Path("people.csv"), Path("people.SPB")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Line 2: a quote is not closed")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("people.SPB")));
    run = Cli({"convert", Path("people.csv"), Path("people.json"), "--force"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonArray people = QJsonDocument::fromJson(Read("people.json")).array();
    EXPECT_EQ(people[0].toObject()["name"].toString(), QString("Bob"));
}

TEST_F(NoLossTest, PhoneBookWriteThatWouldCutStopsAndLeavesTheCard) {
    const QByteArray before = Read("card.json");
    const QJsonArray entries{
        QJsonObject{{"slot", 1}, {"name", QString(300, u'N')}, {"number", "123"}},
        QJsonObject{{"slot", 2}, {"name", "Bob"}, {"number", QString(60, u'1')}},
        QJsonObject{{"slot", 3}, {"name", "Carol"}, {"number", "12AB34"}},
    };
    Write("cut.json", QJsonDocument(entries).toJson());
    CliRun run = Cli(Card() + QStringList{"--pin", "1234", "phonebook", "write", Path("cut.json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("slot 1: the name") && run.err.contains("slot 2: the number") &&
                run.err.contains("\"12AB34\" is written as \"1234\""))
        << run.err.toStdString();
    EXPECT_EQ(Read("card.json"), before);

    run = Cli(Card() +
              QStringList{"--pin", "1234", "phonebook", "write", Path("cut.json"), "--force"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("cut or left out") && run.err.contains("12AB34"))
        << run.err.toStdString();
    EXPECT_EQ(CardJson("phonebook")[2].toObject()["number"].toString(), QString("1234"));
}

TEST_F(NoLossTest, OverlongMessageAndRepeatedSlotsStop) {
    const QByteArray before = Read("card.json");
    const QJsonArray messages{QJsonObject{
        {"slot", 1}, {"status", 7}, {"address", "+4917012345"}, {"text", QString(1000, u'x')}}};
    Write("long.json", QJsonDocument(messages).toJson());
    CliRun run = Cli(Card() + QStringList{"--pin", "1234", "sms", "write", Path("long.json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("1000 bytes is cut to 160")) << run.err.toStdString();

    const QJsonArray twice{QJsonObject{{"slot", 4}, {"name", "Ann"}, {"number", "1"}},
                           QJsonObject{{"slot", 4}, {"name", "Bea"}, {"number", "2"}}};
    Write("twice.json", QJsonDocument(twice).toJson());
    run = Cli(Card() + QStringList{"--pin", "1234", "phonebook", "write", Path("twice.json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("slot 4 is named 2 times")) << run.err.toStdString();
    EXPECT_EQ(Read("card.json"), before);
    run = Cli({"convert", Path("twice.json"), Path("twice.SPB")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFile::exists(Path("twice.SPB")));
}

TEST_F(NoLossTest, OversizedInputIsRefusedUnread) {
    QFile big(Path("big.json"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(200LL * 1024 * 1024));  // sparse: no disk space is taken
    big.close();
    const CliRun run = Cli({"convert", Path("big.json"), Path("big.SPB")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("larger than")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("big.SPB")));
}

TEST_F(NoLossTest, CodesFromAFileDescriptorOrTheEnvironment) {
    // Standard input is file descriptor 0; any other works the same way.
    CliRun run = Cli(Card() + QStringList{"--pin-fd", "0", "pin", "verify", "-"}, "1234\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("PIN1 verified"));

    run = Cli(Card() + QStringList{"pin", "verify"}, {}, "1234");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // PIN1 for reading the card, from the environment.
    run = Cli(Card() + QStringList{"--json", "phonebook", "read"}, {}, "1234");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    // Two codes in order from one descriptor: change, then change back.
    run = Cli(Card() + QStringList{"--pin-fd", "0", "pin", "change", "-", "-"}, "1234\n4321\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    run = Cli(Card() + QStringList{"--pin-fd", "0", "phonebook", "read"}, "4321\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    // Nothing to read the code from: a usage error, and no attempt spent.
    run = Cli(Card() + QStringList{"--pin-fd", "0", "pin", "verify", "-"});
    EXPECT_EQ(run.exitCode, 2);
    run = Cli(Card() + QStringList{"--json", "info"});
    EXPECT_EQ(QJsonDocument::fromJson(run.out)["Pin1Attempts"].toInt(), 3) << run.out.toStdString();
}

}  // namespace
