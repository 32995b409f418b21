// Arithmetic on the process clock (timeGetTime), which wraps after 49.7 days: a time is compared
// with another by their signed difference, never by their values.
#pragma once

#include <cstdint>

#include "platform/win32api.h"

namespace sim {

// Whether `now` has reached `when`: the difference, taken as signed, is not negative.
bool Reached(DWORD now, DWORD when);

// The bytes of a stream of `framesPerSecond` frames of `frameBytes` each that have arrived between
// `startedAt` and `now`; none before the start.
std::uint64_t BytesArrived(DWORD startedAt, DWORD now, std::uint64_t framesPerSecond,
                           std::uint64_t frameBytes);

}  // namespace sim
