// pellucard-cli never drops or cuts records without a word: writes and conversions that
// cannot keep every record stop before writing anything unless --force, oversized input is
// refused unread, and codes can be given without the command line.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>

#include <sys/resource.h>
#include <csignal>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;

using NoLossTest = pellucard::testing::CardFolderTest;

TEST_F(NoLossTest, PhoneBookWriteThatWouldCutStopsAndLeavesTheCard) {
    const QByteArray before = Read("card.json");
    const QJsonArray entries{
        QJsonObject{{"slot", 1}, {"name", QString(300, u'N')}, {"number", "123"}},
        QJsonObject{{"slot", 3}, {"name", "Carol"}, {"number", "12AB34"}},
    };
    Write("cut.json", QJsonDocument(entries).toJson());
    CliRun run = Cli(Card() + QStringList{"phonebook", "write", Path("cut.json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("slot 1, name: \"NNN") &&
                run.err.contains("(300 characters) is cut to \"NNNNNNNNNNNNNN\"") &&
                run.err.contains("slot 3, number: \"12AB34\" is cut to \"1234\""))
        << run.err.toStdString();
    EXPECT_EQ(Read("card.json"), before);

    run = Cli(Card() + QStringList{"phonebook", "write", Path("cut.json"), "--force"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("cut or left out") && run.err.contains("12AB34"))
        << run.err.toStdString();
    EXPECT_EQ(CardJson("phonebook")[2].toObject()["number"].toString(), QString("1234"));
}

TEST_F(NoLossTest, RepeatedSlotsStop) {
    const QByteArray before = Read("card.json");
    const QJsonArray twice{QJsonObject{{"slot", 4}, {"name", "Ann"}, {"number", "1"}},
                           QJsonObject{{"slot", 4}, {"name", "Bea"}, {"number", "2"}}};
    Write("twice.json", QJsonDocument(twice).toJson());
    CliRun run = Cli(Card() + QStringList{"phonebook", "write", Path("twice.json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("slot 4: \"Ann, 1\" is left out")) << run.err.toStdString();
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
    // Standard input is file descriptor 0; any other works the same way. Two codes come in
    // order from one descriptor: change, then read with the new code.
    const struct {
        QStringList arguments;
        QByteArray input;
        QString pinVariable;
        int exitCode;
    } runs[] = {
        {{"--pin-fd", "0", "pin", "verify", "-"}, "1234\n", {}, 0},
        {{"pin", "verify"}, {}, "1234", 0},
        {{"--json", "phonebook", "read"}, {}, "1234", 0},  // PIN1 for reading the card
        {{"--pin-fd", "0", "pin", "change", "-", "-"}, "1234\n4321\n", {}, 0},
        {{"--pin-fd", "0", "phonebook", "read"}, "4321\n", {}, 0},
        {{"--pin-fd", "0", "pin", "verify", "-"}, {}, {}, 2},  // nothing to read the code from
    };
    for (const auto& r : runs) {
        const CliRun run = Cli(Reader() + r.arguments, r.input, r.pinVariable);
        EXPECT_EQ(run.exitCode, r.exitCode) << r.arguments.join(' ').toStdString() << "\n"
                                            << run.err.toStdString();
    }
    // The usage error spent no attempt.
    const CliRun info = Cli(Reader() + QStringList{"--json", "info"});
    EXPECT_EQ(info.Json()["attempts_left"]["pin1"].toInt(), 3) << info.out.toStdString();
}

}  // namespace

namespace {

using pellucard::testing::RunCli;

// The lines of a loss list: everything after the first line of the message.
QList<QByteArray> LossLines(const QByteArray& err) {
    QList<QByteArray> lines;
    for (const QByteArray& line : err.split('\n')) {
        if (line.startsWith("  "))
            lines.append(line);
    }
    return lines;
}

TEST_F(NoLossTest, EveryCutIsListedAndForceListsTheSame) {
    Write("people.csv", "Alias,Phone,Sex,Important\r\n" + QByteArray(60, 'A') +
                            ",+4670123,female or male,\r\nBo,+4670124,,very important\r\n");
    CliRun refused = Cli({"convert", Path("people.csv"), Path("people.SPB")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_FALSE(QFile::exists(Path("people.SPB")));
    const QList<QByteArray> lines = LossLines(refused.err);
    ASSERT_EQ(lines.size(), 3) << refused.err.toStdString();
    EXPECT_TRUE(lines[0].contains("slot 1, Alias: \"AAAA")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("slot 1, Sex: \"female or male\" is cut to \"female or\""));
    EXPECT_TRUE(lines[2].contains("slot 2, Important: \"very important\" is cut to"));

    CliRun forced = Cli({"convert", Path("people.csv"), Path("people.SPB"), "--force"});
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    EXPECT_EQ(LossLines(forced.err), lines);
    EXPECT_TRUE(forced.out.contains("wrote 2 records")) << forced.out.toStdString();

    // Phone book JSON keeps names and numbers: each personal field left out is named.
    refused = Cli({"convert", Path("people.SPB"), Path("people.json")});
    EXPECT_EQ(refused.exitCode, 1);
    forced = Cli({"convert", Path("people.SPB"), Path("people.json"), "--force"});
    EXPECT_EQ(forced.exitCode, 0);
    EXPECT_EQ(LossLines(forced.err), LossLines(refused.err));
    EXPECT_EQ(LossLines(forced.err).size(), 2) << forced.err.toStdString();
    EXPECT_TRUE(forced.err.contains("slot 1, Sex: \"female or\" is left out"));
    EXPECT_TRUE(forced.err.contains("slot 2, Important: \"very impor\" is left out"));
}

TEST_F(NoLossTest, CountsPrintedAreTheRecordsWritten) {
    // 300 rows: JSON, the card's format, keeps the first 255 and names each of the others.
    QByteArray text = "Alias,Phone\r\n";
    for (int row = 1; row <= 300; ++row)
        text += "P" + QByteArray::number(row) + "," + QByteArray::number(row) + "\r\n";
    Write("many.csv", text);
    Write("many.json", "what was there");
    CliRun run = Cli({"convert", Path("many.csv"), Path("many.json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Read("many.json"), QByteArray("what was there"));
    run = Cli({"convert", Path("many.csv"), Path("many.json"), "--force"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(LossLines(run.err).size(), 45);
    EXPECT_TRUE(run.err.contains("slot 300: \"P300, 300\" is left out")) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("wrote 255 records")) << run.out.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(Read("many.json")).array().size(), 255);

    // The demo card: 15 entries in slots 1 to 20.
    ASSERT_EQ(Cli(Card() + QStringList{"phonebook", "read", "-o", Path("c.SPB")}).exitCode, 0);
    for (const char* out : {"c.json", "c.csv", "c.vcf"}) {
        run = Cli({"convert", Path("c.SPB"), Path(out)});
        EXPECT_EQ(run.exitCode, 0) << out << run.err.toStdString();
        EXPECT_TRUE(run.out.contains("wrote 15 records")) << out << run.out.toStdString();
    }
    run = Cli(Card() + QStringList{"phonebook", "read", "-o", Path("c.vcf")});
    EXPECT_TRUE(run.out.contains("read 250 records, 15 in use; wrote 15 to"))
        << run.out.toStdString();
}

// A file size limit makes writes fail as a full disk does: the message is the system's.
TEST_F(NoLossTest, AFailedFileWriteSaysWhatTheSystemSaid) {
    const auto limited = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
    };
    for (const QStringList& command : {QStringList{"phonebook", "read", "-o", Path("out.json")},
                                       QStringList{"phonebook", "read", "-o", Path("out.SPB")},
                                       QStringList{"backup", Path("backup.json")}}) {
        const CliRun run =
            RunCli(Card() + command, QProcessEnvironment::systemEnvironment(), {}, limited);
        EXPECT_EQ(run.exitCode, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("File too large") && !run.err.contains("Unknown error"))
            << run.err.toStdString();
    }
}

}  // namespace
