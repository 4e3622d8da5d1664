// pellucard-cli: the card engine from the command line.
#include <QCoreApplication>
#include <QJsonObject>

#include <cstdlib>
#include <iostream>
#include <map>

#include "cli/cli.h"
#include "cli/loss_report.h"
#include "cli/secret_codes.h"

using namespace pellucard::cli;

namespace {

using Command = int (*)(const Globals&, const Arguments&);

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"info", RunInfo},         {"phonebook", RunPhoneBook}, {"sms", RunSms},
        {"pin", RunPin},           {"decode", RunDecode},       {"encode", RunEncode},
        {"simulate", RunSimulate}, {"convert", RunConvert},     {"backup", RunBackup},
        {"restore", RunRestore},   {"smsc", RunSmsc},
    };
    return commands;
}

// Under --json a failure is a result too: {"error", "exit_status", "losses"} on stdout, beside
// the line on stderr.
void PrintJsonError(const Globals& globals, int code, const std::string& message) {
    if (!globals.json)
        return;
    // The losses a refusal lists stand in "losses"; the error is its first line.
    const std::string first = message.substr(0, message.find('\n'));
    PrintJson(QJsonObject{{"error", QString::fromStdString(first)},
                          {"exit_status", code},
                          {"losses", LossesJson(ListedLosses())}});
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Globals globals;
    std::vector<std::string> words;
    bool help = false;
    bool version = false;
    try {
        std::string readerText = "auto";
        for (int i = 1; i < argc; ++i) {
            const std::string word = argv[i];
            auto value = [&](const std::string& name) {
                if (i + 1 >= argc)
                    throw Failure{kUsage, "option " + name + " needs a value"};
                return std::string(argv[++i]);
            };
            if (word == "--json") {
                globals.json = true;
            } else if (word == "--help" || word == "-h") {
                help = true;
            } else if (word == "--version") {
                version = true;
            } else if (word == "--reader") {
                readerText = value(word);
            } else if (word.rfind("--reader=", 0) == 0) {
                readerText = word.substr(9);
            } else if (word == "--pin") {
                globals.pin = value(word);
            } else if (word.rfind("--pin=", 0) == 0) {
                globals.pin = word.substr(6);
            } else if (word == "--pin-fd" || word.rfind("--pin-fd=", 0) == 0) {
                const std::string fd = word == "--pin-fd" ? value(word) : word.substr(9);
                char* end = nullptr;
                const long number = std::strtol(fd.c_str(), &end, 10);
                if (fd.empty() || *end != '\0' || number < 0 || number > 1024)
                    throw Failure{kUsage, "--pin-fd takes a file descriptor number"};
                globals.codeFd = static_cast<int>(number);
            } else {
                words.push_back(word);
            }
        }
        if (version && !help) {
            std::cout << "pellucard-cli " PELLUCARD_VERSION "\n";
            return kSuccess;
        }
        const std::string command = words.empty() ? std::string() : words.front();
        if (help || words.empty()) {
            std::cout << Usage(command);
            return words.empty() && !help ? kUsage : kSuccess;
        }
        if (globals.pin && *globals.pin != "-")
            WarnOfCodeOnCommandLine();
        const auto it = Commands().find(command);
        if (it == Commands().end())
            throw Failure{kUsage, "unknown command '" + command + "'"};
        std::string error;
        if (!pellucard::ParseReaderChoice(readerText, globals.reader, error)) {
            throw Failure{kUsage, error};
        }
        return it->second(globals,
                          Arguments(words, {"force", "pcsc", "uicc", "no-ready", "silent", "yes",
                                            "other-card", "fewer-records", "replace"}));
    } catch (const Failure& failure) {
        std::cerr << "pellucard-cli: " << failure.message << '\n';
        if (failure.code == kUsage)
            std::cerr << "(see pellucard-cli --help)\n";
        PrintJsonError(globals, failure.code, failure.message);
        return failure.code;
    } catch (const std::exception& e) {
        std::cerr << "pellucard-cli: " << e.what() << '\n';
        PrintJsonError(globals, kCardFailure, e.what());
        return kCardFailure;
    }
}
