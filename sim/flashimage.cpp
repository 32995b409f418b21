#include "sim/flashimage.h"

#include <cstring>

namespace sim {

void FlashImage::Erase() {
    m_data.clear();
    m_passOffset = 0;
    m_overflow = false;
    m_state = State::Erased;
}

void FlashImage::BeginWrite() {
    // The write pass programs from the start of the image; whatever was there before is gone.
    Erase();
}

bool FlashImage::Write(const BYTE* block, std::size_t size) {
    // A block past the end of the flash is refused, and the pass can no longer end well: the
    // image it was writing does not fit.
    if (size > m_capacity - m_data.size()) {
        m_overflow = true;
        return false;
    }
    m_data.insert(m_data.end(), block, block + size);
    m_passOffset += size;
    return true;
}

bool FlashImage::EndWrite() {
    m_passOffset = 0;
    if (m_data.empty() || m_overflow) {
        return false;
    }
    m_state = State::Written;
    return true;
}

bool FlashImage::BeginVerify() {
    m_passOffset = 0;
    m_mismatch = false;
    return m_state == State::Written || m_state == State::Verified;
}

bool FlashImage::Verify(const BYTE* block, std::size_t size) {
    const bool inside = m_passOffset + size <= m_data.size();
    const bool same = inside && std::memcmp(m_data.data() + m_passOffset, block, size) == 0;
    m_passOffset += size;
    m_mismatch = m_mismatch || !same;
    return same;
}

bool FlashImage::EndVerify() {
    const bool whole = !m_mismatch && m_passOffset == m_data.size();
    m_passOffset = 0;
    m_state = whole ? State::Verified : State::Written;
    return whole;
}

}  // namespace sim
