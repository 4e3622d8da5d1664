#pragma once

#include <string>

#include "cli/cli.h"

namespace pellucard::cli {

// PIN and unblocking codes that other users of the machine must not see: a code given on
// the command line shows in `ps` and in the shell's history. A code given as "-" (and PIN1
// when --pin is not given at all) is taken instead
//   - from the file descriptor of --pin-fd N, one code per line, in the order asked for;
//   - else from the environment variable named for it (PELLUCARD_PIN, PELLUCARD_NEW_PIN,
//     PELLUCARD_PUK);
//   - else, when standard input is a terminal, asked for there without echo.
// Fails with a usage error when none of them gives it.
std::string SecretCode(const Globals& globals, const char* variable, const std::string& what);

// The code in positional argument `index` of `args`, or from SecretCode when it is "-" or
// not given.
std::string CodeArgument(const Globals& globals, const Arguments& args, std::size_t index,
                         const char* variable, const std::string& what);

// Whether PIN1 may come from elsewhere than --pin: --pin-fd, PELLUCARD_PIN or the terminal.
bool Pin1FromElsewhere(const Globals& globals);

// One line on stderr, once a run and only when stderr is a terminal (a person reads it): a
// code given on the command line is visible to the machine's other users, and the safer ways.
void WarnOfCodeOnCommandLine();

}  // namespace pellucard::cli
