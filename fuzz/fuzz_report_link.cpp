// libFuzzer target: the USB reader's report framing over a reader that sends anything, times
// out, fails or goes away at any read; every operation ends within its bound.
#include <cstdio>
#include <cstdlib>

#include "report_link_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckReportLink(data, size)) {
        std::fprintf(stderr, "CheckReportLink: %s\n", fault);
        std::abort();
    }
    return 0;
}
