// Finding a present HID interface by its USB identity.
#pragma once

#include "platform/win32api.h"

// A device path travels from discovery to open in a buffer of this many characters, NUL included.
const int MAX_DEVICE_PATH = 256;

// Finds the interface with the given ordinal among the present HID interfaces whose vendor and
// product id match, in the order Windows enumerates them. On TRUE the path buffer (if given) holds
// its device path, cut to pathLength - 1 characters, and *pDevInst (if given) its device node. On
// FALSE the last error says why: ERROR_BAD_UNIT when there are fewer matches than ordinal + 1.
BOOL FindHidDevice(WORD vendorId, WORD productId, int ordinal, char* pathBuffer, int pathLength,
                   DEVINST* pDevInst);
