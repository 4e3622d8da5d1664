// libFuzzer target: decoding of arbitrary bytes must stay inside them and keep its promises.
#include <cstdio>
#include <cstdlib>

#include "decoder_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckDecodePhoneBook(data, size)) {
        std::fprintf(stderr, "CheckDecodePhoneBook: %s\n", fault);
        std::abort();
    }
    return 0;
}
