// libFuzzer target: the records of a USIM phone book, decoded and written back unchanged.
#include <cstdio>
#include <cstdlib>

#include "usim_phonebook_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckDecodeUsimPhoneBook(data, size)) {
        std::fprintf(stderr, "CheckDecodeUsimPhoneBook: %s\n", fault);
        std::abort();
    }
    return 0;
}
