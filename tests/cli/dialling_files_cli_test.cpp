// phonebook --file fdn|sdn|msisdn|lnd, the own numbers and message centre of info, smsc set:
// pellucard-cli on the virtual card, as a script runs it.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;
using pellucard::testing::RunCli;

class DiallingFilesCliTest : public pellucard::testing::CardFolderTest {
protected:
    // The records of a file of the card image, as hex.
    QStringList ImageRecords(const QString& path) const {
        QStringList records;
        const QJsonArray files = QJsonDocument::fromJson(Read("card.json"))["files"].toArray();
        for (const auto& file : files) {
            if (file.toObject()["path"].toString() != path)
                continue;
            // A record is its hex, or an object with its hex and a comment.
            for (const auto& record : file.toObject()["records"].toArray())
                records << (record.isString() ? record.toString()
                                              : record.toObject()["data"].toString());
        }
        return records;
    }
    CliRun Run(const QStringList& arguments, const QString& pin2 = {}) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("PELLUCARD_PIN");
        environment.remove("PELLUCARD_PIN2");
        if (!pin2.isEmpty())
            environment.insert("PELLUCARD_PIN2", pin2);
        return RunCli(Reader() + QStringList{"--pin", "1234"} + arguments, environment);
    }
};

TEST_F(DiallingFilesCliTest, FixedDiallingWriteAsksForPin2AndWritesOnlyWithIt) {
    const QString entry = Write("fdn.json", R"([{"slot": 3, "name": "Doctor",
                                                 "number": "+441632960999"}])");
    const QStringList before = ImageRecords("3F00/7F10/6F3B");
    ASSERT_EQ(before.size(), 2);

    const CliRun unasked = Run({"phonebook", "write", "--file", "fdn", entry});
    EXPECT_EQ(unasked.exitCode, 2);
    EXPECT_TRUE(unasked.err.contains("PIN2 was not given")) << unasked.err.toStdString();

    const CliRun wrong = Run({"phonebook", "write", "--file", "fdn", "--pin2", "0000", entry});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.err.contains("wrong PIN2 (status 98 04); 2 attempts left"))
        << wrong.err.toStdString();
    EXPECT_EQ(ImageRecords("3F00/7F10/6F3B"), before);
    EXPECT_EQ(Run({"--json", "info"}).Json()["attempts_left"]["pin2"].toInt(), 2);

    const CliRun written = Run({"--json", "phonebook", "write", "--file", "fdn", entry}, "5678");
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(written.Json()["records_written"].toInt(), 1);
    const QStringList after = ImageRecords("3F00/7F10/6F3B");
    ASSERT_EQ(after.size(), 3);
    EXPECT_EQ(after.mid(0, 2), before);
    EXPECT_EQ(Run({"--json", "info"}).Json()["attempts_left"]["pin2"].toInt(), 3);
    const QJsonArray read = Run({"--json", "phonebook", "read", "--file", "fdn"}).Json().array();
    ASSERT_EQ(read.size(), 5);
    EXPECT_EQ(read[2]["name"].toString(), "Doctor");
    EXPECT_EQ(read[2]["number"].toString(), "+441632960999");
}

TEST_F(DiallingFilesCliTest, ReadOnlyFilesAndOptionsInTheWrongPlaceAreUsageErrors) {
    const QString entry = Write("one.json", R"([{"slot": 1, "name": "x", "number": "1"}])");
    const QStringList sdn = ImageRecords("3F00/7F10/6F49");
    const QStringList lnd = ImageRecords("3F00/7F10/6F44");
    const QList<QStringList> refused = {
        {"phonebook", "write", "--file", "sdn", entry},
        {"phonebook", "write", "--file", "lnd", entry},
        {"phonebook", "add", "--file", "msisdn", entry},
        {"phonebook", "read", "--file", "ext1"},
        {"phonebook", "read", "--file", "fdn", "--pin2", "5678"},
        {"sms", "read", "--file", "fdn"},
    };
    for (const QStringList& arguments : refused) {
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(ImageRecords("3F00/7F10/6F49"), sdn);
    EXPECT_EQ(ImageRecords("3F00/7F10/6F44"), lnd);
}

TEST_F(DiallingFilesCliTest, LastDialledAndOwnNumbersReadAsTheCardHoldsThem) {
    const QJsonArray lnd = Run({"--json", "phonebook", "read", "--file", "lnd"}).Json().array();
    ASSERT_EQ(lnd.size(), 10);
    const QStringList image = ImageRecords("3F00/7F10/6F44");
    for (int i = 0; i < image.size(); ++i)
        EXPECT_EQ(lnd[i]["raw"].toString(), image[i]) << i;
    EXPECT_EQ(lnd[0]["name"].toString(), "Alice Martin");

    const QString mine = Write("own.json", R"([{"slot": 2, "name": "Fax",
                                               "number": "0301234999"}])");
    ASSERT_EQ(Run({"phonebook", "write", "--file", "msisdn", mine}).exitCode, 0);
    const QJsonObject info = Run({"--json", "info"}).Json().object();
    const QJsonArray own = info["own_numbers"].toArray();
    ASSERT_EQ(own.size(), 2);
    EXPECT_EQ(own[0]["number"].toString(), "+447700900123");
    EXPECT_EQ(own[1]["record"].toInt(), 2);
    EXPECT_EQ(own[1]["name"].toString(), "Fax");
    EXPECT_EQ(info["message_centre"].toString(), "+447700900000");

    // Without PIN1 the card keeps them: unknown, not empty.
    const CliRun locked = Cli(Reader() + QStringList{"--json", "info"});
    EXPECT_TRUE(locked.Json()["own_numbers"].isNull());
    EXPECT_TRUE(locked.Json()["message_centre"].isNull());
}

TEST_F(DiallingFilesCliTest, SmscSetChangesOnlyTheAddressOfTheFirstParameterSet) {
    const QStringList before = ImageRecords("3F00/7F10/6F42");
    ASSERT_EQ(before.size(), 2);
    for (const QString bad : {"12#", "+", "0800 CALL", "+123456789012345678901"}) {
        EXPECT_EQ(Run({"smsc", "set", bad}).exitCode, 2) << bad.toStdString();
    }
    EXPECT_EQ(ImageRecords("3F00/7F10/6F42"), before);

    const CliRun set = Run({"--json", "smsc", "set", "+33 6 12 34 56 78"});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_EQ(set.Json()["message_centre"].toString(), "+33612345678");
    EXPECT_EQ(set.Json()["previous"].toString(), "+447700900000");
    const QStringList after = ImageRecords("3F00/7F10/6F42");
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[1], before[1]);
    // Bytes 25..36 (hex characters 50..73) are the address; the rest is as it was.
    EXPECT_EQ(after[0].left(50), before[0].left(50));
    EXPECT_EQ(after[0].mid(50, 24), "07913316325476F8FFFFFFFF");
    EXPECT_EQ(after[0].mid(74), before[0].mid(74));
    EXPECT_EQ(Run({"--json", "info"}).Json()["message_centre"].toString(), "+33612345678");
}

TEST_F(DiallingFilesCliTest, RestoreWritesTheOtherFilesBackAndFixedDiallingOnlyWithPin2) {
    const QStringList paths = {"3F00/7F10/6F3B", "3F00/7F10/6F40", "3F00/7F10/6F42",
                               "3F00/7F10/6F44", "3F00/7F10/6F49"};
    QList<QStringList> before;
    for (const QString& path : paths)
        before << ImageRecords(path);
    ASSERT_EQ(Run({"backup", Path("backup.json")}).exitCode, 0);

    const QString one = Write("one.json", R"([{"slot": 1, "name": "X", "number": "1"}])");
    ASSERT_EQ(Run({"phonebook", "write", "--file", "fdn", one}, "5678").exitCode, 0);
    ASSERT_EQ(Run({"phonebook", "write", "--file", "msisdn", one}).exitCode, 0);
    ASSERT_EQ(Run({"smsc", "set", "999"}).exitCode, 0);

    const CliRun withoutPin2 = Run({"restore", Path("backup.json"), "--yes"});
    EXPECT_EQ(withoutPin2.exitCode, 1);
    EXPECT_TRUE(
        withoutPin2.err.contains("EF FDN: not written: it differs from the card's, and "
                                 "writing it needs PIN2"))
        << withoutPin2.err.toStdString();
    EXPECT_NE(ImageRecords(paths[0]), before[0]);
    EXPECT_EQ(ImageRecords(paths[1]), before[1]);
    EXPECT_EQ(ImageRecords(paths[2]), before[2]);

    const CliRun withPin2 =
        Run({"--json", "restore", Path("backup.json"), "--yes", "--pin2", "5678"});
    ASSERT_EQ(withPin2.exitCode, 0) << withPin2.err.toStdString();
    const QJsonArray others = withPin2.Json()["other_files"].toArray();
    ASSERT_EQ(others.size(), 5);
    EXPECT_EQ(others[0]["file"].toString(), "EF FDN");
    EXPECT_EQ(others[0]["records_written"].toInt(), 1);
    for (int i = 0; i < paths.size(); ++i)
        EXPECT_EQ(ImageRecords(paths[i]), before[i]) << paths[i].toStdString();
}

}  // namespace
