// The one table from the errors Linux gives a hidraw node to the Win32 codes the wizard records and
// shows, the codes Windows gives for the same cases.
#pragma once

#include "platform/win32api.h"

namespace hardware {

// For open(2) of a node. A node that is not there: ERROR_FILE_NOT_FOUND, as for a path that names
// nothing.
DWORD Win32ErrorForOpen(int error);
// For a feature report's ioctl. A device that has gone: ERROR_DEVICE_NOT_CONNECTED; a report the
// device refuses (a stalled control pipe) or one that times out: ERROR_GEN_FAILURE; an I/O error:
// ERROR_IO_DEVICE.
DWORD Win32ErrorForTransfer(int error);

}  // namespace hardware
