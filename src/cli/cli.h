#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/reader_session.h"

namespace pellucard::cli {

enum ExitCode { kSuccess = 0, kCardFailure = 1, kUsage = 2 };

// A failure that ends the command: the message goes to stderr as one line.
struct Failure {
    ExitCode code;
    std::string message;
};

// The words of one command after the global options were taken out: positional arguments and
// the command's own options (--name VALUE or --name=VALUE; flags have no value).
class Arguments {
public:
    Arguments(std::vector<std::string> words, std::vector<std::string> flags);

    const std::vector<std::string>& Positional() const { return positional_; }
    std::string Positional(std::size_t index, const char* what) const;
    std::optional<std::string> Option(const std::string& name) const;
    std::string RequiredOption(const std::string& name) const;
    int IntOption(const std::string& name, int fallback, int low, int high) const;
    bool Flag(const std::string& name) const;
    // Fails on an option the command does not know, so that a typo is not silently ignored.
    void Expect(std::vector<std::string> options) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> options_;
    std::vector<std::string> flags_;
    std::vector<std::string> knownFlags_;
};

struct Globals {
    ReaderChoice reader;
    bool json = false;
    std::optional<std::string> pin;  // PIN1 to present before reading or writing the card
    std::optional<int> codeFd;       // --pin-fd: codes are read from this file descriptor
};

// Output for people or as JSON, on stdout.
void PrintJson(const QJsonValue& value);
void PrintLine(const std::string& text);
// "1 record", "2 records".
std::string Counted(std::size_t count, const char* one, const char* many);
// A progress line on stderr, only when stderr is a terminal.
void Progress(const char* what, int done, int total);
void EndProgress();

// Opens the chosen reader and resets the card; fails with a message naming the step.
std::unique_ptr<ReaderSession> OpenCard(const Globals& globals);
// Keeps what a command did to a virtual card that came from an image file.
void SaveCard(const ReaderSession& session);
// Presents PIN1 when --pin was given; fails when the card's files stay closed.
void UnlockCard(ReaderSession& session, const Globals& globals);

int RunInfo(const Globals& globals, const Arguments& args);
int RunPhoneBook(const Globals& globals, const Arguments& args);
int RunSms(const Globals& globals, const Arguments& args);
int RunPin(const Globals& globals, const Arguments& args);
int RunDecode(const Globals& globals, const Arguments& args);
int RunEncode(const Globals& globals, const Arguments& args);
int RunSimulate(const Globals& globals, const Arguments& args);
int RunConvert(const Globals& globals, const Arguments& args);
int RunBackup(const Globals& globals, const Arguments& args);
int RunRestore(const Globals& globals, const Arguments& args);
int RunSmsc(const Globals& globals, const Arguments& args);

// Usage text of a command (empty name: the overview).
std::string Usage(const std::string& command);

}  // namespace pellucard::cli
