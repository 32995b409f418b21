// Opening the HID interface and holding what the driver reports about it.
#include "device/kesthid.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device/findhiddevice.h"
#include "device/mixerids.h"
#include "tests/support/simulatedsystem.h"

namespace {

std::u16string Text(const WCHAR* text) {
    return std::u16string(text);
}

// Constructs as the workers do: any exception means the device is not there.
std::unique_ptr<CKestHid> TryOpen(WORD vendorId, WORD productId, DWORD* error) {
    SetLastError(ERROR_SUCCESS);
    try {
        return std::make_unique<CKestHid>(vendorId, productId, 0);
    } catch (int thrown) {
        EXPECT_EQ(thrown, 0);
        *error = GetLastError();
        return nullptr;
    }
}

TEST(KestHid, HoldsTheOpenDevicesDescription) {
    SimulatedSystem system;
    DWORD error = 0;
    const auto device = TryOpen(VENDOR_ID, PRODUCT_ID_RUN, &error);
    ASSERT_NE(device, nullptr) << error;
    EXPECT_NE(device->m_hDevice, INVALID_HANDLE_VALUE);
    EXPECT_NE(device->m_DevInst, 0u);
    EXPECT_EQ(device->m_Attributes.VendorID, VENDOR_ID);
    EXPECT_EQ(device->m_Attributes.ProductID, PRODUCT_ID_RUN);
    EXPECT_NE(device->m_pPreparsedData, nullptr);
    EXPECT_EQ(device->m_Caps.FeatureReportByteLength, 65);
    EXPECT_EQ(Text(device->m_szManufacturer), u"Corvena");
    EXPECT_EQ(Text(device->m_szProduct), u"Vantor");
    EXPECT_FALSE(Text(device->m_szSerialNumber).empty());
}

TEST(KestHid, AbsentDeviceThrowsWithBadUnit) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::Absent));
    DWORD error = 0;
    EXPECT_EQ(TryOpen(VENDOR_ID, PRODUCT_ID_RUN, &error), nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_BAD_UNIT));
}

TEST(KestHid, MissingStringsStayEmpty) {
    // The other vendor's device names its maker but has no product or serial string.
    SimulatedSystem system;
    DWORD error = 0;
    const auto device = TryOpen(0x04D8, 0x003F, &error);
    ASSERT_NE(device, nullptr) << error;
    EXPECT_EQ(Text(device->m_szManufacturer), u"Other Vendor");
    EXPECT_EQ(Text(device->m_szProduct), u"");
    EXPECT_EQ(Text(device->m_szSerialNumber), u"");
}

TEST(KestHid, AnOverlongPathIsCutAndItsOpenFails) {
    sim::SimConfig config;
    config.faults.longPath = true;
    SimulatedSystem system(config);
    char path[MAX_DEVICE_PATH];
    ASSERT_TRUE(FindHidDevice(VENDOR_ID, PRODUCT_ID_RUN, 0, path, MAX_DEVICE_PATH, nullptr));
    EXPECT_EQ(std::string(path).size(), 255u);

    DWORD error = 0;
    EXPECT_EQ(TryOpen(VENDOR_ID, PRODUCT_ID_RUN, &error), nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(KestHid, WithoutPreparsedDataTheCapabilitiesStayZero) {
    sim::SimConfig config;
    config.faults.noPreparsedData = true;
    SimulatedSystem system(config);
    DWORD error = 0;
    const auto device = TryOpen(VENDOR_ID, PRODUCT_ID_RUN, &error);
    ASSERT_NE(device, nullptr) << error;
    EXPECT_EQ(device->m_pPreparsedData, nullptr);
    EXPECT_EQ(device->m_Caps.FeatureReportByteLength, 0);
    EXPECT_EQ(device->m_Attributes.ProductID, PRODUCT_ID_RUN);
}

TEST(KestHid, OpenRefusesANullPath) {
    SimulatedSystem system;
    DWORD error = 0;
    const auto device = TryOpen(VENDOR_ID, PRODUCT_ID_RUN, &error);
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(device->Open(nullptr, GENERIC_READ | GENERIC_WRITE, 3, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_PATHNAME));
}

TEST(KestHid, DeletingReleasesTheHandleAndPreparsedData) {
    SimulatedSystem system;
    DWORD error = 0;
    std::unique_ptr<CKestHid> device = TryOpen(VENDOR_ID, PRODUCT_ID_RUN, &error);
    ASSERT_NE(device, nullptr);
    const HANDLE handle = device->m_hDevice;
    const PHIDP_PREPARSED_DATA preparsed = device->m_pPreparsedData;
    device.reset();
    EXPECT_FALSE(CloseHandle(handle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(HidD_FreePreparsedData(preparsed));
}

}  // namespace
