#pragma once

#include <chrono>

// The time the walks pace themselves by; tests put in a clock they move by hand.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
};

// The system's steady clock.
inline const Clock& SteadyClock() {
    class Steady final : public Clock {
    public:
        TimePoint Now() const override { return std::chrono::steady_clock::now(); }
    };
    static const Steady clock;
    return clock;
}
