#pragma once

#include <utility>

// Owns one handle of the kind Traits describes and closes it once. Move-only, so a handle can
// never be closed twice. Traits gives Type, Invalid() and Close(Type).
template <class Traits> class Unique {
public:
    using T = typename Traits::Type;

    Unique() = default;
    explicit Unique(T handle) noexcept : handle_(handle) {}
    Unique(Unique&& other) noexcept : handle_(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }

    T Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }
    T Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(T handle = Traits::Invalid()) noexcept {
        if (handle_ != Traits::Invalid()) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    T handle_ = Traits::Invalid();
};
