// libFuzzer target: UICC file control parameters of any content decode within their bytes.
#include <cstdio>
#include <cstdlib>

#include "card_answer_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckFcpTemplate(data, size)) {
        std::fprintf(stderr, "CheckFcpTemplate: %s\n", fault);
        std::abort();
    }
    return 0;
}
