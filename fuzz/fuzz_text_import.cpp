// libFuzzer target: comma- and tab-separated text files in any character set import within their
// limits.
#include <cstdio>
#include <cstdlib>

#include "record_input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckTextImport(data, size)) {
        std::fprintf(stderr, "CheckTextImport: %s\n", fault);
        std::abort();
    }
    return 0;
}
