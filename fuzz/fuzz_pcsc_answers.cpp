// libFuzzer target: the engine drives a GSM or UICC card through a PC/SC reader whatever it
// answers.
#include <cstdio>
#include <cstdlib>

#include "card_answer_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckPcscAnswers(data, size)) {
        std::fprintf(stderr, "CheckPcscAnswers: %s\n", fault);
        std::abort();
    }
    return 0;
}
