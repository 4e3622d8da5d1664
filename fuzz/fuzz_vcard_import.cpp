// libFuzzer target: vCard files of any content import into free slots only and write back as the
// same contacts.
#include <cstdio>
#include <cstdlib>

#include "exchange_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckVCardImport(data, size)) {
        std::fprintf(stderr, "CheckVCardImport: %s\n", fault);
        std::abort();
    }
    return 0;
}
