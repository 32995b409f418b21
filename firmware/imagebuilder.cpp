#include "firmware/imagebuilder.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "firmware/crc32.h"
#include "firmware/firmwareimage.h"
#include "firmware/imageheader.h"

void WriteBigEndian32(BYTE* bytes, DWORD value) {
    const DWORD bigEndian = htonl(value);
    std::memcpy(bytes, &bigEndian, sizeof bigEndian);
}

void CImageBuilder::AddEntry(std::string_view tag, const BYTE* pValue, BYTE length) {
    BYTE word[4] = {0, 0, 0, length};
    std::copy_n(tag.begin(), std::min<std::size_t>(tag.size(), 3), word);
    m_entries.insert(m_entries.end(), word, word + 4);
    if (length != 0) {
        m_entries.insert(m_entries.end(), pValue, pValue + length);
    }
}

void CImageBuilder::AddFlag(std::string_view tag) {
    AddEntry(tag, nullptr, 0);
}

void CImageBuilder::AddValue(std::string_view tag, DWORD dwValue) {
    BYTE value[4];
    WriteBigEndian32(value, dwValue);
    AddEntry(tag, value, sizeof value);
}

void CImageBuilder::AddText(BYTE size, std::string_view text) {
    std::vector<BYTE> value(size, 0);
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), size), value.begin());
    AddEntry("str", value.data(), size);
}

void CImageBuilder::AddPayloadCrc() {
    AddValue("crc", 0);
    m_crcOffsets.push_back(m_entries.size() - 4);
}

bool CImageBuilder::Build(const BYTE* pPayload, std::size_t payloadSize,
                          std::vector<BYTE>* pImage) const {
    const std::size_t headerLength = GetHeaderLength();
    const std::size_t limit = std::numeric_limits<DWORD>::max() - IMAGE_TAIL_SIZE;
    if (headerLength > limit || payloadSize > limit - headerLength) {
        return false;
    }
    std::vector<BYTE>& image = *pImage;
    image.assign(headerLength + payloadSize, 0);
    WriteBigEndian32(&image[0], IMAGE_MAGIC);
    WriteBigEndian32(&image[4], static_cast<DWORD>(headerLength));
    std::copy(m_entries.begin(), m_entries.end(), image.begin() + 8);
    if (payloadSize != 0) {
        std::copy_n(pPayload, payloadSize, image.begin() + headerLength);
    }
    const DWORD payloadCrc =
        Crc32(0xFFFFFFFF, image.data() + headerLength, static_cast<DWORD>(payloadSize));
    for (std::size_t offset : m_crcOffsets) {
        WriteBigEndian32(&image[8 + offset], payloadCrc);
    }
    WriteBigEndian32(&image[headerLength - 4],
                     Crc32(0xFFFFFFFF, image.data(), static_cast<DWORD>(headerLength - 4)));
    return true;
}
