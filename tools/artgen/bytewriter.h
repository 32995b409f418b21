// Builds a file image in memory, every number little-endian whatever the host's byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace artgen {

class ByteWriter {
public:
    void U8(std::uint8_t value) { m_bytes.push_back(value); }
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    // Four characters, as RIFF chunk ids and codec names are stored.
    void FourCC(std::string_view code);
    void Bytes(const std::vector<std::uint8_t>& bytes);
    void Zeros(std::size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }

    // Sizes that are known only once what follows is written go in afterwards.
    void PatchU32(std::size_t offset, std::uint32_t value);

    std::size_t Size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& Data() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

}  // namespace artgen
