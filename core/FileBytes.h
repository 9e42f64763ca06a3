#pragma once

#include <cstddef>
#include <span>
#include <vector>

// The bytes of one small file, read whole, for readers that tell what a file says without ever
// opening it the shell's way.
using FileBytes = std::vector<unsigned char>;
using ByteView = std::span<const unsigned char>;

// The most that is read of such a file: anything larger is not what it claims to be.
constexpr std::size_t kMostFileBytes = 1024 * 1024;
