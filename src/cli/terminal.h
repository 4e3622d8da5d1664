#pragma once

#include <string>

namespace pellucard::cli {

// A person at the keyboard: standard input and standard error are both terminals, so a
// question can be asked and answered.
bool OnTerminal();

// Asks `question` on stderr and reads the answer from standard input: true for "y" or "yes"
// (letter case aside), false for anything else or no answer.
bool Confirm(const std::string& question);

}  // namespace pellucard::cli
