// libFuzzer target: SELECT responses, file status blocks and every card-information item over
// arbitrary card answers must stay inside the bytes they were given.
#include <cstdio>
#include <cstdlib>

#include "card_info_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckCardInformation(data, size)) {
        std::fprintf(stderr, "CheckCardInformation: %s\n", fault);
        std::abort();
    }
    return 0;
}
