#pragma once

#include <optional>

// Whether one of the long walks (listing, marking, copy, deletion) is running. The walks yield to
// the message loop, so a second list-changing command could start inside one; the window runs
// every such command through TryBegin, which refuses it while another walk holds the list.
class WalkState {
public:
    class Scope {
    public:
        explicit Scope(WalkState& state) : state_(state) { state_.running_ = true; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        ~Scope() { state_.running_ = false; }

    private:
        WalkState& state_;
    };

    bool Running() const { return running_; }

    // Marks a walk as running until the returned scope ends; nothing while another walk runs.
    [[nodiscard]] std::optional<Scope> TryBegin() {
        if (running_) return std::nullopt;
        return std::optional<Scope>(std::in_place, *this);
    }

private:
    bool running_ = false;
};
