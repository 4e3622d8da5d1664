#pragma once

#include <chrono>
#include <functional>

namespace pellucard {

// Source of the link's waits. The reader protocol waits 100 ms per report, 50 ms for a second
// chance and 20 ms between executing a SIM command and collecting its answer; tests replace the
// clock so that a time-out costs no real time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::microseconds Now() = 0;
    virtual void Sleep(std::chrono::microseconds duration) = 0;
    // Called by the reader link while an exchange waits for the reader, at least every
    // kIdleInterval of its waiting: a program with a user interface lets its event loop run
    // here, so that a slow or silent reader never freezes it. Does nothing by default.
    virtual void Idle() {}
    static constexpr std::chrono::milliseconds kIdleInterval{50};
};

// A clock that takes its time from another one and runs `idle` at every Idle().
class IdleHookClock final : public Clock {
public:
    IdleHookClock(Clock& base, std::function<void()> idle) : base_(base), idle_(std::move(idle)) {}
    std::chrono::microseconds Now() override { return base_.Now(); }
    void Sleep(std::chrono::microseconds duration) override { base_.Sleep(duration); }
    void Idle() override {
        if (idle_)
            idle_();
    }

private:
    Clock& base_;
    std::function<void()> idle_;
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
