// pellucard-cli with a person at the keyboard: questions before it writes what the command
// line did not confirm, and a word about codes that other users can see.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;
using pellucard::testing::RunCliOnTerminal;

class TerminalTest : public pellucard::testing::CardFolderTest {};

TEST_F(TerminalTest, RestoreAsksOnATerminalAndFailsWhenNothingWasWritten) {
    const QStringList card = Reader() + QStringList{"--pin", "1234"};
    ASSERT_EQ(Cli(card + QStringList{"backup", Path("backup.json")}).exitCode, 0);
    Write("x.json", R"([{"slot": 1, "name": "X", "number": "1"}])");
    ASSERT_EQ(Cli(card + QStringList{"phonebook", "write", Path("x.json")}).exitCode, 0);

    CliRun run = RunCliOnTerminal(card + QStringList{"restore", Path("backup.json")}, "no\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Replace the card's records with the backup's? [y/N]"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("nothing was written"));
    EXPECT_EQ(CardJson("phonebook")[0].toObject()["name"].toString(), "X");

    run = RunCliOnTerminal(card + QStringList{"restore", Path("backup.json")}, "y\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(CardJson("phonebook")[0].toObject()["name"].toString(), "Alice Martin");
}

TEST_F(TerminalTest, ACodeOnTheCommandLineGetsOneWarningOnATerminalOnly) {
    const QByteArray warning = "warning: other users can see a code on the command line";
    CliRun run = RunCliOnTerminal(Reader() + QStringList{"--pin", "1234", "info"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err.count(warning), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("--pin-fd N or PELLUCARD_PIN"));

    // Two codes of a pin command: still one line.
    run = RunCliOnTerminal(Reader() + QStringList{"pin", "change", "1234", "4321"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err.count(warning), 1) << run.err.toStdString();

    // Codes from elsewhere, or no terminal to read the warning: nothing.
    run = RunCliOnTerminal(Reader() + QStringList{"--pin-fd", "3", "info"});
    EXPECT_FALSE(run.err.contains(warning)) << run.err.toStdString();
    run = Cli(Reader() + QStringList{"--pin", "4321", "info"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.err.contains(warning));
}

}  // namespace
