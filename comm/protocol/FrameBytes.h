#pragma once

#include <cstring>

// The control bytes of the controller's frames, for everything that builds,
// reads or answers one (the exchange, the serial component's reads, the
// simulator).
namespace FrameBytes {

inline constexpr char STX = 0x02;
inline constexpr char ETX = 0x03;

// An answer is complete once the bytes so far hold an ETX and one byte after
// it, its block check.
inline bool answerComplete(const char *bytes, int count)
{
    return count >= 2 && std::memchr(bytes, ETX, size_t(count - 1)) != nullptr;
}

} // namespace FrameBytes
