// The device interface class GUIDs as Windows defines them. Internal to the stand-ins.
#pragma once

#include "platform/win32api.h"

namespace portable {

// GUID_DEVINTERFACE_HID, which HidD_GetHidGuid gives.
inline constexpr GUID kHidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
// KSCATEGORY_AUDIO.
inline constexpr GUID kAudioInterfaceClass = {
    0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

}  // namespace portable
