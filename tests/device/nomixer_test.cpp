// A system with no mixer attached, on the real services where there are any: Wine has no mixer, and
// neither has a portable build without a device backend.
#include <gtest/gtest.h>

#include "device/findhiddevice.h"
#include "device/mixerids.h"
#include "device/vantorhid.h"
#include "platform/win32api.h"

namespace {

TEST(NoMixer, EveryIdentityIsMissingWithBadUnit) {
    for (WORD productId : {PRODUCT_ID_RUN, PRODUCT_ID_UPDATE, PRODUCT_ID_UPDATE_ALT}) {
        SetLastError(ERROR_SUCCESS);
        char path[MAX_DEVICE_PATH] = "untouched";
        DEVINST devInst = 12345;
        EXPECT_FALSE(FindHidDevice(VENDOR_ID, productId, 0, path, MAX_DEVICE_PATH, &devInst));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_UNIT));
        EXPECT_STREQ(path, "untouched");
        EXPECT_EQ(devInst, 12345u);

        // The constructor throws. Under Wine the unwinding clears the last error before the handler
        // runs, so callers take a failed construction as the missing mixer itself, not read why.
        CVantorHid* mixer = nullptr;
        try {
            mixer = new CVantorHid(VENDOR_ID, productId, 0);
        } catch (...) {
        }
        EXPECT_EQ(mixer, nullptr);
        delete mixer;
    }
}

}  // namespace

namespace {

TEST(NoMixer, NothingIsBeingInstalled) {
    // Looked up at run time, as the update does: the module is loaded through the program's own
    // device-setup imports.
    HMODULE setupApi = GetModuleHandleA("setupapi.dll");
    ASSERT_NE(setupApi, nullptr);
    FARPROC proc = GetProcAddress(setupApi, "CMP_WaitNoPendingInstallEvents");
    ASSERT_NE(proc, nullptr);
    using WaitFunction = DWORD(WINAPI*)(DWORD);
    const auto wait = reinterpret_cast<WaitFunction>(reinterpret_cast<void (*)()>(proc));
    EXPECT_EQ(wait(0), static_cast<DWORD>(WAIT_OBJECT_0));
}

}  // namespace
