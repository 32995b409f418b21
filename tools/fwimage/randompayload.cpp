#include "tools/fwimage/randompayload.h"

std::vector<BYTE> MakeRandomPayload(std::uint64_t seed, std::size_t size) {
    std::vector<BYTE> payload(size);
    std::uint64_t state = seed;
    for (std::size_t offset = 0; offset < size; offset += 8) {
        state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        for (std::size_t i = 0; i < 8 && offset + i < size; ++i) {
            payload[offset + i] = static_cast<BYTE>(z >> (8 * i));
        }
    }
    return payload;
}
