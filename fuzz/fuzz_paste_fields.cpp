// libFuzzer target: clipboard text in the field form pastes into free slots only and copies back
// the same.
#include <cstdio>
#include <cstdlib>

#include "record_input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckPasteFields(data, size)) {
        std::fprintf(stderr, "CheckPasteFields: %s\n", fault);
        std::abort();
    }
    return 0;
}
