// Deterministic stand-in payloads for test images.
//
// The generator is SplitMix64 (Steele, Lea and Flood, 2014): the 64-bit state starts at the seed;
// each step adds 0x9E3779B97F4A7C15 to the state and mixes a copy of it:
//   z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9; z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
//   z ^= z >> 31.
// Each step gives eight payload bytes, least significant byte first; the last step's unused bytes
// are dropped. The same seed and size always give the same bytes on every platform.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32api.h"

std::vector<BYTE> MakeRandomPayload(std::uint64_t seed, std::size_t size);
