// libFuzzer target: card image documents of any content are refused with a reason or read back the
// same.
#include <cstdio>
#include <cstdlib>

#include "card_image_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckCardImage(data, size)) {
        std::fprintf(stderr, "CheckCardImage: %s\n", fault);
        std::abort();
    }
    return 0;
}
