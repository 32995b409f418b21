// The images embedded in the test program, as the mixer should hold them, and a way to replace one
// for the length of a test.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/win32api.h"

// The data blocks of the embedded images, which have the sizes of the shipped ones.
inline constexpr std::size_t kCodeBlocks = 2606;
inline constexpr std::size_t kLogicBlocks = 11289;

// The payload of an embedded image (what follows its header), as the mixer should hold it: filled
// up with zeros to whole 60-byte blocks.
std::vector<BYTE> ExpectedFlash(WORD resourceId);
std::vector<BYTE> ResourceBytes(WORD resourceId);

// Replaces an embedded image for the life of the object (null data: no such image).
class ImageOverride {
public:
    ImageOverride(WORD resourceId, const std::vector<BYTE>* data);
    ~ImageOverride();
    ImageOverride(const ImageOverride&) = delete;
    ImageOverride& operator=(const ImageOverride&) = delete;

private:
    WORD m_id;
    const void* m_original;
    DWORD m_originalSize;
};
