// One of the mixer's two flash images as its update firmware sees it: what the write pass put there
// and whether a verify pass has since confirmed it.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/win32api.h"

namespace sim {

class FlashImage {
public:
    enum class State { Intact, Erased, Written, Verified };

    // An image of at most `capacity` bytes.
    explicit FlashImage(std::size_t capacity) : m_capacity(capacity) {}

    void Erase();
    void BeginWrite();
    // False, and nothing written, for a block that would run past the end of the flash.
    bool Write(const BYTE* block, std::size_t size);
    // True when the pass wrote anything at all, and all of it fitted.
    bool EndWrite();
    bool BeginVerify();
    // True when the block equals what the write pass put at the next offset.
    bool Verify(const BYTE* block, std::size_t size);
    // True when every block of the pass matched and the pass covered the whole image.
    bool EndVerify();

    State GetState() const { return m_state; }
    const std::vector<BYTE>& GetData() const { return m_data; }
    // Where the next block of the current pass goes.
    std::size_t GetPassOffset() const { return m_passOffset; }

private:
    std::size_t m_capacity;
    State m_state = State::Intact;
    std::vector<BYTE> m_data;
    std::size_t m_passOffset = 0;
    bool m_mismatch = false;
    bool m_overflow = false;  // the write pass ran past the end of the flash
};

}  // namespace sim
