// libFuzzer target: contact (.SPB) and SMS (.sms) record files of any content load or are refused
// whole, and what loads saves back the same.
#include <cstdio>
#include <cstdlib>

#include "record_input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckRecordFile(data, size)) {
        std::fprintf(stderr, "CheckRecordFile: %s\n", fault);
        std::abort();
    }
    return 0;
}
