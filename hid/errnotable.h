// The one table between the errors Linux gives for a hidraw node and the Win32 codes that Windows
// gives for the same cases: read one way by the hardware backend, which records and shows Win32
// codes, and the other way by the virtual mixer, which answers a reader as the kernel would.
#pragma once

#include "platform/win32api.h"

namespace hid {

// For open(2) of a node. A node that is not there: ERROR_FILE_NOT_FOUND, as for a path that names
// nothing.
DWORD Win32ErrorForOpen(int error);
// For a feature report's ioctl. A device that has gone: ERROR_DEVICE_NOT_CONNECTED; a report the
// device refuses (a stalled control pipe) or one that times out: ERROR_GEN_FAILURE; an I/O error:
// ERROR_IO_DEVICE.
DWORD Win32ErrorForTransfer(int error);
// The errno the kernel reports for a transfer that Windows reports with `error`: the first that
// the table gives for it, so that the transfer direction reads it back as `error`; EIO for a code
// the table does not have.
int ErrnoForTransferError(DWORD error);

}  // namespace hid
