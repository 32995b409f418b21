// The one table between a hidraw node's errors and Win32 codes, read both ways: the hardware
// backend turns the kernel's errors into the codes the wizard records, the virtual mixer turns the
// simulated mixer's codes into the errors a reader of its node gets.
#include "hid/errnotable.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(ErrnoTable, ADeviceThatHasGoneIsNotConnectedAndARefusedReportAGeneralFailure) {
    const struct {
        int error;
        DWORD transfer;
        DWORD open;
    } cases[] = {
        {ENODEV, ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_NOT_CONNECTED},
        {ENXIO, ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_NOT_CONNECTED},
        {ESHUTDOWN, ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_NOT_CONNECTED},
        {ENOENT, ERROR_DEVICE_NOT_CONNECTED, ERROR_FILE_NOT_FOUND},
        {EPIPE, ERROR_GEN_FAILURE, ERROR_GEN_FAILURE},
        {EPROTO, ERROR_GEN_FAILURE, ERROR_GEN_FAILURE},
        {ETIMEDOUT, ERROR_GEN_FAILURE, ERROR_GEN_FAILURE},
        {EIO, ERROR_IO_DEVICE, ERROR_IO_DEVICE},
        {EACCES, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
        {EPERM, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
        {ENOMEM, ERROR_NOT_ENOUGH_MEMORY, ERROR_NOT_ENOUGH_MEMORY},
        {EBUSY, ERROR_BUSY, ERROR_BUSY},
        {EINVAL, ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER},
        {EOVERFLOW, ERROR_GEN_FAILURE, ERROR_GEN_FAILURE},  // anything else
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hid::Win32ErrorForTransfer(c.error), c.transfer) << c.error;
        EXPECT_EQ(hid::Win32ErrorForOpen(c.error), c.open) << c.error;
    }
}

// What the virtual mixer answers a transfer with must read back, through the hardware backend's
// direction, as the code the simulated mixer gave; and each code comes back as the errno the
// kernel gives first for it.
TEST(ErrnoTable, ATransferErrorComesBackAsTheSameCode) {
    const struct {
        DWORD win32;
        int error;
    } cases[] = {
        {ERROR_DEVICE_NOT_CONNECTED, ENODEV},  // the mixer has left the bus
        {ERROR_GEN_FAILURE, EPIPE},            // it stalls a report it does not have
        {ERROR_IO_DEVICE, EIO},
        {ERROR_ACCESS_DENIED, EACCES},
        {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
        {ERROR_BUSY, EBUSY},
        {ERROR_INVALID_PARAMETER, EINVAL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hid::ErrnoForTransferError(c.win32), c.error) << c.win32;
        EXPECT_EQ(hid::Win32ErrorForTransfer(hid::ErrnoForTransferError(c.win32)), c.win32)
            << c.win32;
    }
    // A code the table does not have is an I/O error, as the kernel reports a transfer it cannot
    // name better.
    EXPECT_EQ(hid::ErrnoForTransferError(ERROR_INVALID_USER_BUFFER), EIO);
}

}  // namespace
