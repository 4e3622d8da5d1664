#include "cli/secret_codes.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>

namespace pellucard::cli {
namespace {

// Longer than any code; a line beyond it is no code.
constexpr std::size_t kMaxLine = 64;

// One line from `fd`, read a byte at a time so that the next line stays for the next code.
bool ReadLine(int fd, std::string& line) {
    line.clear();
    char c = 0;
    for (;;) {
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return !line.empty();
        if (c == '\n')
            break;
        if (line.size() >= kMaxLine)
            return false;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// Echo off while the code is typed, and back on whatever happens.
class EchoOff {
public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &saved_) == 0) {
            termios quiet = saved_;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
        }
    }
    ~EchoOff() {
        if (active_)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

}  // namespace

std::string SecretCode(const Globals& globals, const char* variable, const std::string& what) {
    std::string code;
    if (globals.codeFd) {
        if (!ReadLine(*globals.codeFd, code)) {
            throw Failure{kUsage, "no line with " + what + " on file descriptor " +
                                      std::to_string(*globals.codeFd) + " (--pin-fd)"};
        }
        return code;
    }
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0')
        return value;
    if (::isatty(STDIN_FILENO) == 1) {
        std::cerr << what << ": " << std::flush;
        bool read = false;
        {
            EchoOff quiet;
            read = ReadLine(STDIN_FILENO, code);
        }
        std::cerr << '\n';
        if (read)
            return code;
    }
    throw Failure{kUsage, what + " was not given: use --pin-fd N, " + variable +
                              " or a terminal to type it on"};
}

std::string CodeArgument(const Globals& globals, const Arguments& args, std::size_t index,
                         const char* variable, const std::string& what) {
    const auto& words = args.Positional();
    if (index >= words.size() || words[index] == "-")
        return SecretCode(globals, variable, what);
    WarnOfCodeOnCommandLine();
    return words[index];
}

void WarnOfCodeOnCommandLine() {
    static bool warned = false;
    if (warned || ::isatty(STDERR_FILENO) != 1)
        return;
    warned = true;
    std::cerr << "pellucard-cli: warning: other users can see a code on the command line (ps, "
                 "shell history); give - to type it, --pin-fd N or PELLUCARD_PIN (see --help)\n";
}

bool Pin1FromElsewhere(const Globals& globals) {
    const char* value = std::getenv("PELLUCARD_PIN");
    return globals.codeFd.has_value() || (value != nullptr && *value != '\0') ||
           ::isatty(STDIN_FILENO) == 1;
}

}  // namespace pellucard::cli
