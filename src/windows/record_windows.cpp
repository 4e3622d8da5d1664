#include "windows/record_windows.h"

#include "shell/session.h"
#include "shell/window_factory.h"
#include "windows/sim_rec.h"

namespace pellucard {

void RegisterRecordWindows(WindowFactory& factory) {
    factory.Register(window_index::kSimRec, [](ShellHost& host) { return new SimRec(host); });
}

}  // namespace pellucard
