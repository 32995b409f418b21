#include "firmware/crc32.h"

#include <array>

namespace {

constexpr DWORD CRC32_POLYNOMIAL = 0xEDB88320;  // 0x04C11DB7 bit-reversed

// A 16-entry table keeps the footprint small; the images are read once per update, so the
// per-byte cost of two table steps does not matter.
constexpr std::array<DWORD, 16> MakeNibbleTable() {
    std::array<DWORD, 16> table{};
    for (DWORD i = 0; i < table.size(); ++i) {
        DWORD value = i;
        for (int bit = 0; bit < 4; ++bit) {
            value = (value >> 1) ^ ((value & 1) ? CRC32_POLYNOMIAL : 0);
        }
        table[i] = value;
    }
    return table;
}

constexpr std::array<DWORD, 16> NIBBLE_TABLE = MakeNibbleTable();
static_assert(NIBBLE_TABLE[1] == 0x1DB71064 && NIBBLE_TABLE[8] == 0xEDB88320);

}  // namespace

DWORD Crc32(DWORD initial, const void* data, DWORD count) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    DWORD crc = initial;
    for (DWORD i = 0; i < count; ++i) {
        crc ^= bytes[i];
        crc = (crc >> 4) ^ NIBBLE_TABLE[crc & 0x0F];
        crc = (crc >> 4) ^ NIBBLE_TABLE[crc & 0x0F];
    }
    return ~crc;
}
