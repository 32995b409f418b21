#include "hid/errnotable.h"

#include <cerrno>

namespace hid {

namespace {

struct Mapping {
    int error;
    DWORD win32;
};

// What both kinds of call share. Anything not listed is a failure of the device: ERROR_GEN_FAILURE.
// Of the errors for one code, the first is the one the kernel gives for a transfer.
constexpr Mapping kTable[] = {
    {ENODEV, ERROR_DEVICE_NOT_CONNECTED},     // the device has left the bus
    {ENXIO, ERROR_DEVICE_NOT_CONNECTED},      // the node's device is gone
    {ESHUTDOWN, ERROR_DEVICE_NOT_CONNECTED},  // the endpoint was shut down as the device left
    {EPIPE, ERROR_GEN_FAILURE},               // a stall: the device refuses the report
    {EPROTO, ERROR_GEN_FAILURE},
    {ETIMEDOUT, ERROR_GEN_FAILURE},
    {EIO, ERROR_IO_DEVICE},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EBUSY, ERROR_BUSY},
    {EINVAL, ERROR_INVALID_PARAMETER},
};

DWORD Lookup(int error) {
    for (const Mapping& mapping : kTable) {
        if (mapping.error == error) {
            return mapping.win32;
        }
    }
    return ERROR_GEN_FAILURE;
}

}  // namespace

DWORD Win32ErrorForOpen(int error) {
    return error == ENOENT ? static_cast<DWORD>(ERROR_FILE_NOT_FOUND) : Lookup(error);
}

DWORD Win32ErrorForTransfer(int error) {
    // A node whose device has gone can also say it is not there any more.
    return error == ENOENT ? static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED) : Lookup(error);
}

int ErrnoForTransferError(DWORD error) {
    for (const Mapping& mapping : kTable) {
        if (mapping.win32 == error) {
            return mapping.error;
        }
    }
    return EIO;
}

}  // namespace hid
