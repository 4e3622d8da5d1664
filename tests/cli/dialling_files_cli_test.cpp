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

}  // namespace
