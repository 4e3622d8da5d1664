#pragma once

#include <chrono>

namespace pellucard {

// Source of the link's waits. The reader protocol waits 100 ms per report, 50 ms for a second
// chance and 20 ms between executing a SIM command and collecting its answer; tests replace the
// clock so that a time-out costs no real time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::microseconds Now() = 0;
    virtual void Sleep(std::chrono::microseconds duration) = 0;
};

// The process's monotonic clock.
Clock& SystemClock();

}  // namespace pellucard
