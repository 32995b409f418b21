// Finding the mixer's HID interface among the interfaces present on the system.
#include "device/findhiddevice.h"

#include <gtest/gtest.h>

#include <string>

#include "device/mixerids.h"
#include "tests/support/simulatedsystem.h"

namespace {

struct Found {
    bool ok;
    DWORD error;
    std::string path;
    DEVINST devInst;
};

Found Find(WORD vendorId, WORD productId, int ordinal, int pathLength = MAX_DEVICE_PATH) {
    char path[MAX_DEVICE_PATH] = {};
    DEVINST devInst = 0;
    SetLastError(ERROR_SUCCESS);
    const bool ok = FindHidDevice(vendorId, productId, ordinal, path, pathLength, &devInst);
    return {ok, GetLastError(), path, devInst};
}

TEST(FindHidDevice, ANoMixerSystemGivesBadUnit) {
    {
        // No backend at all: a system without devices.
        const Found found = Find(VENDOR_ID, PRODUCT_ID_RUN, 0);
        EXPECT_FALSE(found.ok);
        EXPECT_EQ(found.error, static_cast<DWORD>(ERROR_BAD_UNIT));
    }
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::Absent));
    const Found found = Find(VENDOR_ID, PRODUCT_ID_RUN, 0);
    EXPECT_FALSE(found.ok);
    EXPECT_EQ(found.error, static_cast<DWORD>(ERROR_BAD_UNIT));
}

TEST(FindHidDevice, OnlyVendorAndProductIdDecide) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::Update));
    EXPECT_FALSE(Find(VENDOR_ID, PRODUCT_ID_RUN, 0).ok);
    EXPECT_FALSE(Find(VENDOR_ID, PRODUCT_ID_UPDATE_ALT, 0).ok);
    const Found found = Find(VENDOR_ID, PRODUCT_ID_UPDATE, 0);
    ASSERT_TRUE(found.ok);
    EXPECT_NE(found.path.find("vid_0ca8&pid_0800"), std::string::npos) << found.path;
    EXPECT_NE(found.devInst, 0u);
}

TEST(FindHidDevice, TheMixersProductIdUnderAnotherVendorIsNeverTaken) {
    {
        SimulatedSystem system;
        const Found found = Find(VENDOR_ID, PRODUCT_ID_RUN, 0);
        ASSERT_TRUE(found.ok);
        EXPECT_NE(found.path.find("vid_0ca8&pid_0801"), std::string::npos) << found.path;
        EXPECT_FALSE(Find(VENDOR_ID, PRODUCT_ID_RUN, 1).ok);
        // That device is there, enumerated before the mixer, and found by its own identity.
        const Found other = Find(0x16C0, PRODUCT_ID_RUN, 0);
        ASSERT_TRUE(other.ok);
        EXPECT_NE(other.path.find("vid_16c0&pid_0801"), std::string::npos) << other.path;
    }
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::Absent));
    const Found found = Find(VENDOR_ID, PRODUCT_ID_RUN, 0);
    EXPECT_FALSE(found.ok);
    EXPECT_EQ(found.error, static_cast<DWORD>(ERROR_BAD_UNIT));
}

TEST(FindHidDevice, AnInterfaceThatRefusesReadWriteIsPassedOver) {
    // The keyboard that Windows holds is enumerated first: it is skipped without error, the mixer
    // after it is found, and the keyboard itself can never be found.
    SimulatedSystem system;
    EXPECT_TRUE(Find(VENDOR_ID, PRODUCT_ID_RUN, 0).ok);
    const Found keyboard = Find(0x046D, 0xC31C, 0);
    EXPECT_FALSE(keyboard.ok);
    EXPECT_EQ(keyboard.error, static_cast<DWORD>(ERROR_BAD_UNIT));
    // The other vendor's device opens and is found by its own identity.
    EXPECT_TRUE(Find(0x04D8, 0x003F, 0).ok);
}

TEST(FindHidDevice, OrdinalsFollowTheEnumerationOrder) {
    sim::SimConfig config;
    config.secondMixer = true;
    SimulatedSystem system(config);
    const Found first = Find(VENDOR_ID, PRODUCT_ID_RUN, 0);
    const Found second = Find(VENDOR_ID, PRODUCT_ID_RUN, 1);
    ASSERT_TRUE(first.ok);
    ASSERT_TRUE(second.ok);
    EXPECT_NE(first.path, second.path);
    EXPECT_NE(first.devInst, second.devInst);

    // The first in enumeration order is ordinal 0.
    HDEVINFO interfaces = nullptr;
    GUID hid;
    HidD_GetHidGuid(&hid);
    interfaces =
        SetupDiGetClassDevsA(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    std::string firstListed;
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    alignas(8) char buffer[512] = {};
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(buffer);
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(interfaces, nullptr, &hid, i, &data); ++i) {
        detail->cbSize = sizeof *detail;
        ASSERT_TRUE(SetupDiGetDeviceInterfaceDetailA(interfaces, &data, detail, sizeof buffer,
                                                     nullptr, nullptr));
        if (std::string(detail->DevicePath).find("vid_0ca8") != std::string::npos) {
            firstListed = detail->DevicePath;
            break;
        }
    }
    SetupDiDestroyDeviceInfoList(interfaces);
    EXPECT_EQ(firstListed, first.path);

    const Found third = Find(VENDOR_ID, PRODUCT_ID_RUN, 2);
    EXPECT_FALSE(third.ok);
    EXPECT_EQ(third.error, static_cast<DWORD>(ERROR_BAD_UNIT));
}

TEST(FindHidDevice, ThePathIsCutToTheBuffer) {
    SimulatedSystem system;
    const Found whole = Find(VENDOR_ID, PRODUCT_ID_RUN, 0);
    const Found cut = Find(VENDOR_ID, PRODUCT_ID_RUN, 0, 10);
    ASSERT_TRUE(cut.ok);
    EXPECT_EQ(cut.path, whole.path.substr(0, 9));
    // Neither output is required.
    EXPECT_TRUE(FindHidDevice(VENDOR_ID, PRODUCT_ID_RUN, 0, nullptr, 0, nullptr));
}

}  // namespace
