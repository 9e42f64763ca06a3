#pragma once

#include <utility>

// Whether one of the long walks (listing, marking, copy, deletion) is running. The walks yield to
// the message loop, so the window's other list-changing commands check this and keep off.
class WalkState {
public:
    class Scope {
    public:
        explicit Scope(WalkState& state) : state_(&state), wasRunning_(std::exchange(state.running_, true)) {}
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        ~Scope() { state_->running_ = wasRunning_; }

    private:
        WalkState* state_;
        bool wasRunning_;
    };

    bool Running() const { return running_; }
    // Marks a walk as running until the returned scope ends; scopes nest.
    [[nodiscard]] Scope Begin() { return Scope(*this); }

private:
    bool running_ = false;
};
