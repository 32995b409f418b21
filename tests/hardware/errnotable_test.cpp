// What the Linux side's answers become for the wizard: the errors of a hidraw node as Win32 codes,
// and the HID core's identity of a device.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "hardware/errnotable.h"
#include "hardware/hidrawdevices.h"

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
        EXPECT_EQ(hardware::Win32ErrorForTransfer(c.error), c.transfer) << c.error;
        EXPECT_EQ(hardware::Win32ErrorForOpen(c.error), c.open) << c.error;
    }
}

TEST(HidId, IsBusVendorAndProductInHexadecimal) {
    WORD vendor = 0;
    WORD product = 0;
    ASSERT_TRUE(hardware::ParseHidId("0003:00000CA8:00000801", &vendor, &product));
    EXPECT_EQ(vendor, 0x0CA8);
    EXPECT_EQ(product, 0x0801);
    ASSERT_TRUE(hardware::ParseHidId("0005:0000046d:0000b01a", &vendor, &product));
    EXPECT_EQ(vendor, 0x046D);
    EXPECT_EQ(product, 0xB01A);
    for (const char* wrong :
         {"", "0003:00000CA8", "0003:00000CA8:", "0003:0001CA80:0801", "0003:00000CA8:00000801:1",
          "0003:CA8:08x1", "0003:000000000CA8:801"}) {
        vendor = product = 7;
        EXPECT_FALSE(hardware::ParseHidId(wrong, &vendor, &product)) << wrong;
        EXPECT_EQ(vendor, 7) << wrong;
        EXPECT_EQ(product, 7) << wrong;
    }
}

}  // namespace
