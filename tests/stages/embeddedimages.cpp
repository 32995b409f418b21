#include "tests/stages/embeddedimages.h"

#include "firmware/imageheader.h"
#include "platform/portable/moduleresources.h"

std::vector<BYTE> ResourceBytes(WORD resourceId) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(resourceId), RT_RCDATA);
    if (info == nullptr) {
        return {};
    }
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, info)));
    return std::vector<BYTE>(data, data + SizeofResource(module, info));
}

std::vector<BYTE> ExpectedFlash(WORD resourceId) {
    const std::vector<BYTE> image = ResourceBytes(resourceId);
    ImageHeaderInfo header{};
    ParseImageHeader(image.data(), static_cast<DWORD>(image.size()), &header);
    std::vector<BYTE> flash(image.begin() + header.headerLength, image.end());
    flash.resize((flash.size() + 59) / 60 * 60, 0);
    return flash;
}

ImageOverride::ImageOverride(WORD resourceId, const std::vector<BYTE>* data)
    : m_id(resourceId), m_original(nullptr), m_originalSize(0) {
    HMODULE module = GetModuleHandleA(nullptr);
    if (HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(resourceId), RT_RCDATA)) {
        m_original = LockResource(LoadResource(module, info));
        m_originalSize = SizeofResource(module, info);
    }
    portable::ReplaceRawResource(10, resourceId, data != nullptr ? data->data() : nullptr,
                                 data != nullptr ? static_cast<DWORD>(data->size()) : 0);
}

ImageOverride::~ImageOverride() {
    portable::ReplaceRawResource(10, m_id, m_original, m_originalSize);
}
