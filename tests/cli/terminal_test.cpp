// pellucard-cli with a person at the keyboard: a word about codes that other users can see.
#include <gtest/gtest.h>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;
using pellucard::testing::RunCliOnTerminal;

class TerminalTest : public pellucard::testing::CardFolderTest {};

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
