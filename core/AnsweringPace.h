#pragma once

#include <chrono>

#include "Clock.h"
#include "Viewer.h"

// Keeps the window answering through long work that has no yield of its own (passing over the
// other kind of entries, removing the items of a folder, copying a large file): yields whenever
// the last yield lies a little while back, far less often than once an item.
class AnsweringPace {
public:
    // Well inside the tenth of a second after which a window feels stuck.
    static constexpr auto kLongestQuiet = std::chrono::milliseconds(15);

    AnsweringPace(MessagePump& pump, const Clock& clock) : pump_(pump), clock_(clock), lastYield_(clock.Now()) {}

    void Between() {
        if (clock_.Now() - lastYield_ < kLongestQuiet) return;
        pump_.DoEvents();
        lastYield_ = clock_.Now();
    }

private:
    MessagePump& pump_;
    const Clock& clock_;
    Clock::TimePoint lastYield_;
};
