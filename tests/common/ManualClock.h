#pragma once

#include <chrono>

#include "Clock.h"

// A clock that moves only when the test moves it.
class ManualClock final : public Clock {
public:
    TimePoint Now() const override { return now_; }
    void Advance(std::chrono::milliseconds by) { now_ += by; }

private:
    TimePoint now_{};
};
