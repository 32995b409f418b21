// The device interface classes the system looks for, as Windows defines them: the class a search
// for the mixer's HID interface or its audio function names, and that ends each of their device
// paths. Both builds use them: Windows takes them from the SDK under these values, the stand-ins
// and the backends give them to the interfaces they list.
#pragma once

#include "platform/win32api.h"

// GUID_DEVINTERFACE_HID, which HidD_GetHidGuid gives.
inline constexpr GUID HID_INTERFACE_CLASS = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
// KSCATEGORY_AUDIO: the interfaces of a device's audio function.
inline constexpr GUID AUDIO_INTERFACE_CLASS = {
    0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
