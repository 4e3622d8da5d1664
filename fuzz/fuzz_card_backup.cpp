// libFuzzer target: card backup documents of any content are refused with a reason or read back the
// same.
#include <cstdio>
#include <cstdlib>

#include "exchange_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckCardBackup(data, size)) {
        std::fprintf(stderr, "CheckCardBackup: %s\n", fault);
        std::abort();
    }
    return 0;
}
