#include "tools/artgen/bytewriter.h"

#include <stdexcept>

namespace artgen {

void ByteWriter::U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value & 0xFF));
    U8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        U8(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

void ByteWriter::FourCC(std::string_view code) {
    if (code.size() != 4) {
        throw std::invalid_argument("a FourCC has four characters");
    }
    for (const char c : code) {
        U8(static_cast<std::uint8_t>(c));
    }
}

void ByteWriter::Bytes(const std::vector<std::uint8_t>& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void ByteWriter::PatchU32(std::size_t offset, std::uint32_t value) {
    if (offset > m_bytes.size() || m_bytes.size() - offset < 4) {
        throw std::out_of_range("patch outside the written bytes");
    }
    for (int i = 0; i < 4; ++i) {
        m_bytes[offset + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace artgen
