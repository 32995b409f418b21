#include "sim/processclock.h"

namespace sim {

bool Reached(DWORD now, DWORD when) {
    return static_cast<LONG>(now - when) >= 0;
}

std::uint64_t BytesArrived(DWORD startedAt, DWORD now, std::uint64_t framesPerSecond,
                           std::uint64_t frameBytes) {
    const LONG elapsed = static_cast<LONG>(now - startedAt);
    return elapsed <= 0 ? 0 : std::uint64_t(elapsed) * framesPerSecond / 1000 * frameBytes;
}

}  // namespace sim
