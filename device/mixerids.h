// The USB identities under which the mixer shows itself.
#pragma once

#include "platform/win32api.h"

const WORD VENDOR_ID = 0x0CA8;
const WORD PRODUCT_ID_RUN = 0x0801;         // application mode, running its firmware
const WORD PRODUCT_ID_UPDATE = 0x0800;      // update mode
const WORD PRODUCT_ID_UPDATE_ALT = 0x0804;  // update mode, the other update identity

// The mutex that the wizard holds from its start to its end, so that one machine runs one update
// at a time: two on one mixer would erase each other's work. Global: every user's session shares
// it.
const char UPDATE_MUTEX_NAME[] = "Global\\CorvenaVantorFirmwareUpdate";
