#include "engine/clock.h"

#include <thread>

namespace pellucard {

namespace {

class SteadyClock final : public Clock {
public:
    std::chrono::microseconds Now() override {
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void Sleep(std::chrono::microseconds duration) override {
        if (duration.count() > 0)
            std::this_thread::sleep_for(duration);
    }
};

}  // namespace

Clock& SystemClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace pellucard
