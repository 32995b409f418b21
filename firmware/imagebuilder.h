// Writes firmware images in the container format: for fwimage, tests and benchmarks. The program
// itself only reads images.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/win32api.h"

class CImageBuilder {
public:
    // Entries are written in the order they are added. A tag is three characters; the builder
    // does not judge tags or lengths, so damaged headers can be made on purpose.
    void AddEntry(std::string_view tag, const BYTE* pValue, BYTE length);
    void AddFlag(std::string_view tag);
    void AddValue(std::string_view tag, DWORD dwValue);  // 4 bytes, big-endian
    void AddText(BYTE size, std::string_view text);      // str, text NUL-padded to size bytes
    void AddPayloadCrc();                                // crc, filled in by Build

    // 8 bytes of magic and length, the entries, 4 bytes of header CRC.
    std::size_t GetHeaderLength() const { return 8 + m_entries.size() + 4; }

    // The whole image: header with its CRC, then the payload. Fails when the image would not fit
    // a working buffer (a DWORD-sized image plus its zero tail).
    bool Build(const BYTE* pPayload, std::size_t payloadSize, std::vector<BYTE>* pImage) const;

private:
    std::vector<BYTE> m_entries;
    std::vector<std::size_t> m_crcOffsets;  // value offsets within m_entries
};

// Stores value big-endian at bytes.
void WriteBigEndian32(BYTE* bytes, DWORD value);
