#pragma once

#include "engine/clock.h"

namespace pellucard::testing {

// A clock whose sleeps only move its hands: a time-out of the reader protocol costs no real time,
// and a test can read how much reader time an operation would have taken.
class FakeClock final : public Clock {
public:
    std::chrono::microseconds Now() override { return now_; }
    void Sleep(std::chrono::microseconds duration) override {
        if (duration.count() > 0)
            now_ += duration;
    }
    std::chrono::microseconds Elapsed() const { return now_; }

private:
    std::chrono::microseconds now_{0};
};

}  // namespace pellucard::testing
