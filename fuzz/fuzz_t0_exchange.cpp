// libFuzzer target: T=0 procedure bytes of any card stay within a bounded number of exchanges.
#include <cstdio>
#include <cstdlib>

#include "card_answer_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckT0Exchange(data, size)) {
        std::fprintf(stderr, "CheckT0Exchange: %s\n", fault);
        std::abort();
    }
    return 0;
}
