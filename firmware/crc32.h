// CRC-32 of IEEE 802.3, as the firmware image container uses it for its header and its payload.
#pragma once

#include "platform/win32api.h"

// Feeds count bytes from data into a CRC register that starts at initial and returns the register's
// complement. Callers pass 0xFFFFFFFF for the standard CRC-32; a count of 0 then yields 0.
DWORD Crc32(DWORD initial, const void* data, DWORD count);
