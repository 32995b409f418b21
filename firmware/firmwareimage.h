// One firmware image in its working buffer: a private, writable copy of the image followed by zero
// bytes, so that the last 60-byte data block can be sent whole from the buffer.
#pragma once

#include <memory>

#include "platform/win32api.h"

// The zero tail after the image, one data block long: the last 60-byte block starts before the
// image end and runs up to 59 bytes past it.
constexpr DWORD IMAGE_TAIL_SIZE = 60;

enum class ImageLoadResult {
    Loaded,
    NotFound,     // FindResourceA failed: the update skips a missing logic image
    NotLoadable,  // found, but LoadResource or LockResource failed, or no memory for the buffer
};

class CFirmwareImage {
public:
    CFirmwareImage() = default;
    CFirmwareImage(const CFirmwareImage&) = delete;
    CFirmwareImage& operator=(const CFirmwareImage&) = delete;

    // Copies RCDATA resource nResourceId of hModule into a new working buffer. On failure the
    // thread's last error is the one the failing call left (ERROR_NOT_ENOUGH_MEMORY when the buffer
    // cannot be had) and the previous buffer, if any, is kept.
    ImageLoadResult LoadFromResource(HMODULE hModule, WORD nResourceId);

    // The same working buffer from bytes in memory. Fails with ERROR_NOT_ENOUGH_MEMORY, or
    // ERROR_INVALID_PARAMETER for a null pointer with a nonzero size.
    BOOL LoadFromBytes(const BYTE* pData, DWORD dwSize);

    // The working buffer: GetImageSize() image bytes, then IMAGE_TAIL_SIZE zero bytes. Null before
    // the first successful load.
    const BYTE* GetData() const { return m_pBuffer.get(); }
    DWORD GetImageSize() const { return m_dwImageSize; }
    DWORD GetBufferSize() const { return m_pBuffer ? m_dwImageSize + IMAGE_TAIL_SIZE : 0; }

private:
    std::unique_ptr<BYTE[]> m_pBuffer;
    DWORD m_dwImageSize = 0;
};
