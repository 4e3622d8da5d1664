// libFuzzer target: both ends of the reader emulator's socket transport, each fed whatever the
// other end might send: the host's socket device and the virtual reader served on a connection.
#include <cstdio>
#include <cstdlib>

#include "socket_bus_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const char* fault = pellucard::fuzz::CheckSocketBus(data, size)) {
        std::fprintf(stderr, "CheckSocketBus: %s\n", fault);
        std::abort();
    }
    return 0;
}
