#pragma once

#include <chrono>

#include "listing/Viewer.h"

// Keeps the window answering through long work that has no yield of its own (passing over the
// other kind of entries, removing the items of a folder, copying a large file): yields whenever
// the last yield lies a little while back, far less often than once an item.
class AnsweringPace {
public:
    explicit AnsweringPace(MessagePump& pump) : pump_(pump), lastYield_(Clock::now()) {}

    void Between() {
        const auto now = Clock::now();
        if (now - lastYield_ < kLongestQuiet) return;
        pump_.DoEvents();
        lastYield_ = Clock::now();
    }

private:
    using Clock = std::chrono::steady_clock;
    // Well inside the tenth of a second after which a window feels stuck.
    static constexpr auto kLongestQuiet = std::chrono::milliseconds(15);

    MessagePump& pump_;
    Clock::time_point lastYield_;
};
