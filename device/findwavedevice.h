// Finding the mixer's own wave device: the one built on an audio interface of the same USB device
// as the mixer's HID interface.
#pragma once

#include "device/kesthid.h"
#include "platform/win32api.h"

// The wave device id (as waveInOpen and waveOutOpen take it) for capture (bPlayback FALSE) or
// playback, or -1 with the last error set: ERROR_BAD_UNIT when the mixer has no such device,
// ERROR_INVALID_DATA (ERROR_NOT_ENOUGH_MEMORY) when its device tree cannot be read.
int FindWaveDevice(const CKestHid& device, BOOL bPlayback);
