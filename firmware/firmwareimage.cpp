#include "firmware/firmwareimage.h"

#include <cstring>
#include <limits>
#include <new>
#include <utility>

ImageLoadResult CFirmwareImage::LoadFromResource(HMODULE hModule, WORD nResourceId) {
    HRSRC hResInfo = FindResourceA(hModule, MAKEINTRESOURCEA(nResourceId), RT_RCDATA);
    if (hResInfo == nullptr) {
        return ImageLoadResult::NotFound;
    }
    HGLOBAL hResData = LoadResource(hModule, hResInfo);
    if (hResData == nullptr) {
        return ImageLoadResult::NotLoadable;
    }
    const DWORD dwSize = SizeofResource(hModule, hResInfo);
    const void* pData = LockResource(hResData);
    if (pData == nullptr) {
        return ImageLoadResult::NotLoadable;
    }
    return LoadFromBytes(static_cast<const BYTE*>(pData), dwSize) ? ImageLoadResult::Loaded
                                                                  : ImageLoadResult::NotLoadable;
}

BOOL CFirmwareImage::LoadFromBytes(const BYTE* pData, DWORD dwSize) {
    if (pData == nullptr && dwSize != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The buffer size must stay a DWORD like every size the update passes around.
    if (dwSize > std::numeric_limits<DWORD>::max() - IMAGE_TAIL_SIZE) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    // Value-initialised: the tail must be zero, it goes to the mixer as part of the last block.
    std::unique_ptr<BYTE[]> pBuffer(new (std::nothrow) BYTE[dwSize + IMAGE_TAIL_SIZE]());
    if (!pBuffer) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    if (dwSize != 0) {
        std::memcpy(pBuffer.get(), pData, dwSize);
    }
    m_pBuffer = std::move(pBuffer);
    m_dwImageSize = dwSize;
    return TRUE;
}
