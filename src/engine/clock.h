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

// A clock whose waits take no time; for an in-process reader that answers at once, where the
// link's pauses would only slow the program down. Each instance keeps its own time.
class InstantClock final : public Clock {
public:
    std::chrono::microseconds Now() override { return now_; }
    void Sleep(std::chrono::microseconds duration) override {
        if (duration.count() > 0)
            now_ += duration;
    }

private:
    std::chrono::microseconds now_{0};
};

}  // namespace pellucard
