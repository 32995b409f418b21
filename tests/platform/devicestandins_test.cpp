// The device-setup, configuration-manager and HID stand-ins keep the documented Win32 contracts:
// sizing calls, enumeration ends, structure sizes, exact report lengths and their last errors.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32api.h"
#include "tests/support/simulatedsystem.h"

namespace {

class DeviceStandIns : public ::testing::Test {
protected:
    void SetUp() override {
        HidD_GetHidGuid(&m_hid);
        m_set =
            SetupDiGetClassDevsA(&m_hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        ASSERT_NE(m_set, INVALID_HANDLE_VALUE);
        m_interface.cbSize = sizeof m_interface;
    }
    void TearDown() override { SetupDiDestroyDeviceInfoList(m_set); }

    // The mixer's interface: enumerated after the keyboard and the two other vendors' devices.
    void SelectMixer() {
        ASSERT_TRUE(SetupDiEnumDeviceInterfaces(m_set, nullptr, &m_hid, 3, &m_interface));
    }

    std::string MixerPath() {
        std::vector<char> buffer(512);
        auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(buffer.data());
        detail->cbSize = sizeof *detail;
        EXPECT_TRUE(SetupDiGetDeviceInterfaceDetailA(
            m_set, &m_interface, detail, static_cast<DWORD>(buffer.size()), nullptr, nullptr));
        return detail->DevicePath;
    }

    SimulatedSystem m_system;
    GUID m_hid{};
    HDEVINFO m_set = INVALID_HANDLE_VALUE;
    SP_DEVICE_INTERFACE_DATA m_interface{};
};

TEST_F(DeviceStandIns, EnumerationEndsWithNoMoreItems) {
    DWORD count = 0;
    while (SetupDiEnumDeviceInterfaces(m_set, nullptr, &m_hid, count, &m_interface)) {
        ++count;
    }
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));

    SP_DEVICE_INTERFACE_DATA wrongSize{};
    wrongSize.cbSize = sizeof wrongSize - 1;
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(m_set, nullptr, &m_hid, 0, &wrongSize));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
}

TEST_F(DeviceStandIns, DetailSizingCallFailsAndGivesTheSize) {
    SelectMixer();
    const std::string path = MixerPath();
    DWORD required = 0;
    EXPECT_FALSE(
        SetupDiGetDeviceInterfaceDetailA(m_set, &m_interface, nullptr, 0, &required, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(required, offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);

    DWORD requiredWide = 0;
    EXPECT_FALSE(
        SetupDiGetDeviceInterfaceDetailW(m_set, &m_interface, nullptr, 0, &requiredWide, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(requiredWide,
              offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + 2 * (path.size() + 1));

    // One byte short is still too small; the right size fills in the device record as well.
    std::vector<BYTE> buffer(required);
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(buffer.data());
    detail->cbSize = sizeof *detail;
    EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(m_set, &m_interface, detail, required - 1,
                                                  nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    ASSERT_TRUE(
        SetupDiGetDeviceInterfaceDetailA(m_set, &m_interface, detail, required, nullptr, &device));
    EXPECT_EQ(std::string(detail->DevicePath), path);
    EXPECT_NE(device.DevInst, 0u);
}

TEST_F(DeviceStandIns, StructureSizesAreChecked) {
    SelectMixer();
    std::vector<BYTE> buffer(512);
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(buffer.data());
    detail->cbSize = 5;  // the size in a 32-bit process, wrong in a 64-bit one
    EXPECT_FALSE(
        SetupDiGetDeviceInterfaceDetailA(m_set, &m_interface, detail, 512, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    detail->cbSize = sizeof *detail;
    SP_DEVINFO_DATA device{};
    device.cbSize = 28;
    EXPECT_FALSE(
        SetupDiGetDeviceInterfaceDetailA(m_set, &m_interface, detail, 512, nullptr, &device));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
}

TEST_F(DeviceStandIns, ASetIsASnapshotUntilDestroyed) {
    SelectMixer();
    // The mixer restarts after the set was made: the set still lists it, but its path is gone.
    HANDLE handle = CreateFileA(MixerPath().c_str(), GENERIC_READ | GENERIC_WRITE, 3, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    BYTE command[65] = {0xF0, 'E', 'F', 'W', 'U'};
    ASSERT_TRUE(HidD_SetFeature(handle, command, sizeof command));
    CloseHandle(handle);
    EXPECT_TRUE(SetupDiEnumDeviceInterfaces(m_set, nullptr, &m_hid, 3, &m_interface));
    EXPECT_EQ(CreateFileA(MixerPath().c_str(), GENERIC_READ, 3, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    HDEVINFO gone = m_set;
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(gone));
    m_set = SetupDiGetClassDevsA(&m_hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(gone, nullptr, &m_hid, 0, &m_interface));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(DeviceStandIns, TheConfigurationManagerRefusesWhatItDoesNotKnow) {
    DEVINST parent = 7;
    EXPECT_EQ(CM_Get_Parent(nullptr, 2, 0), CR_INVALID_POINTER);
    EXPECT_EQ(CM_Get_Parent(&parent, 0xDEAD, 0), CR_NO_SUCH_DEVNODE);
    EXPECT_EQ(parent, 0u);
    EXPECT_EQ(CM_Get_Parent(&parent, 2, 1), CR_INVALID_FLAG);
}

TEST_F(DeviceStandIns, FeatureReportsMustHaveTheirExactLength) {
    SelectMixer();
    HANDLE handle = CreateFileA(MixerPath().c_str(), GENERIC_READ | GENERIC_WRITE, 3, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    BYTE report[66] = {0xF0};
    for (ULONG length : {64u, 66u, 0u}) {
        EXPECT_FALSE(HidD_GetFeature(handle, report, length));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    }
    EXPECT_TRUE(HidD_GetFeature(handle, report, 65));
    EXPECT_EQ(report[0], 0xF0);
    EXPECT_FALSE(HidD_SetFeature(handle, nullptr, 65));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOACCESS));

    EXPECT_TRUE(CancelIo(handle));
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_FALSE(HidD_GetFeature(handle, report, 65));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(handle));
    EXPECT_EQ(HidP_GetCaps(nullptr, nullptr), HIDP_STATUS_INVALID_PREPARSED_DATA);
}

// As the HID string queries document it: the whole string with its terminator, or nothing.
TEST_F(DeviceStandIns, AStringComesWithItsEndOrNotAtAll) {
    SelectMixer();
    HANDLE handle = CreateFileA(MixerPath().c_str(), GENERIC_READ | GENERIC_WRITE, 3, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const std::u16string untouched(8, u'\xBEEF');
    const struct {
        ULONG length;
        std::u16string buffer;
    } cases[] = {
        {12, untouched},  // "Vantor" without its terminator
        {13, untouched},
        {14, std::u16string(u"Vantor\0\xBEEF", 8)},
    };
    for (const auto& c : cases) {
        const bool whole = c.buffer != untouched;
        std::u16string buffer = untouched;
        EXPECT_EQ(HidD_GetProductString(handle, buffer.data(), c.length) != FALSE, whole);
        EXPECT_EQ(buffer, c.buffer) << c.length;
        if (!whole) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        }
    }
    CloseHandle(handle);
}

TEST_F(DeviceStandIns, AKeyboardOpensOnlyWithoutReadWriteAccess) {
    ASSERT_TRUE(SetupDiEnumDeviceInterfaces(m_set, nullptr, &m_hid, 0, &m_interface));
    const std::string keyboard = MixerPath();
    EXPECT_EQ(CreateFileA(keyboard.c_str(), GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING,
                          0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    HANDLE handle = CreateFileA(keyboard.c_str(), 0, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    HIDD_ATTRIBUTES attributes{};
    EXPECT_TRUE(HidD_GetAttributes(handle, &attributes));
    EXPECT_EQ(attributes.VendorID, 0x046D);
    CloseHandle(handle);
}

TEST(DeviceStandInsModules, TheInstallWaitIsFoundInSetupApiOnly) {
    HMODULE setupApi = GetModuleHandleA("SETUPAPI.DLL");
    ASSERT_NE(setupApi, nullptr);
    EXPECT_NE(GetProcAddress(setupApi, "CMP_WaitNoPendingInstallEvents"), nullptr);
    EXPECT_EQ(GetProcAddress(setupApi, "CMP_WaitForever"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(GetModuleHandleA(nullptr), "CMP_WaitNoPendingInstallEvents"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // A system without devices has nothing to install.
    EXPECT_EQ(CMP_WaitNoPendingInstallEvents(0), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(DeviceStandInsStrings, BoundedCopyAlwaysEndsWithNul) {
    char buffer[6];
    EXPECT_EQ(lstrcpynA(buffer, "abcdefgh", sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "abcde");
    lstrcpynA(buffer, "ab", sizeof buffer);
    EXPECT_STREQ(buffer, "ab");
}

}  // namespace
