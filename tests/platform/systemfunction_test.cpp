// The HID and multimedia functions come from the system folder, never from another copy of their
// DLL on the search path, and without their DLL each fails as its documentation says. Each case
// runs in a process of its own with the Wine load order it needs (tests/platform/CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "platform/win32/systemfunction.h"
#include "platform/win32api.h"
#include "tests/support/planteddlls.h"

namespace {

using win32::SystemDll;
using win32::SystemFunction;

struct DllFunction {
    SystemDll dll;
    const char* file;
    const char* function;
};
constexpr DllFunction kDllFunctions[] = {
    {SystemDll::Hid, "hid.dll", "HidD_GetHidGuid"},
    {SystemDll::Winmm, "winmm.dll", "waveInGetNumDevs"},
};
static_assert(std::size(kDllFunctions) == std::size(kPlantedDlls));

std::string LowerCase(std::string text) {
    CharLowerA(text.data());
    return text;
}

// The file of the module that holds `address`, in lower case.
std::string ModuleFileOf(void (*address)()) {
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(reinterpret_cast<std::uintptr_t>(address)), &module);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    return LowerCase(path);
}

// The planted copies are on the standard search path, ahead of the system folder, and Wine
// prefers them (WINEDLLOVERRIDES=hid,winmm=n,b).
class PlantedOnTheSearchPath : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetDllDirectoryA(PlantedDll("").c_str()));
        for (const char* file : kPlantedDlls) {
            DeleteFileA(MarkerOf(PlantedDll(file)).c_str());
        }
    }
    void TearDown() override { SetDllDirectoryA(nullptr); }
};

TEST_F(PlantedOnTheSearchPath, SystemFunctionsComeFromTheSystemFolder) {
    char systemFolder[MAX_PATH] = {};
    ASSERT_NE(GetSystemDirectoryA(systemFolder, MAX_PATH), 0u);
    for (const DllFunction& entry : kDllFunctions) {
        SCOPED_TRACE(entry.file);
        const std::string marker = MarkerOf(PlantedDll(entry.file));
        // A load by the bare name takes the planted copy: the trap is set.
        EXPECT_EQ(LoadLibraryA(entry.file), nullptr);
        ASSERT_TRUE(FileExists(marker));
        ASSERT_TRUE(DeleteFileA(marker.c_str()));

        const SystemFunction function(entry.dll, entry.function);
        const auto address = function.Get<void (*)()>();
        ASSERT_NE(address, nullptr);
        EXPECT_FALSE(FileExists(marker));
        EXPECT_EQ(ModuleFileOf(address), LowerCase(std::string(systemFolder) + "\\" + entry.file));
    }
}

TEST(SystemFunction, MissingFromItsDllFailsWithProcNotFoundOnEveryCall) {
    const SystemFunction function(SystemDll::Hid, "HidD_NoSuchFunction");
    using Function = BOOLEAN(NTAPI*)(HANDLE);
    for (int call = 0; call < 2; ++call) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(function.Call<Function>(FALSE, nullptr), FALSE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }
}

// Runs with both DLLs disabled (WINEDLLOVERRIDES=hid,winmm=d), as on a system without them.
TEST(SystemFunction, WithoutItsDllEachFunctionFailsAsDocumented) {
    ASSERT_EQ(LoadLibraryExA("hid.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), nullptr)
        << "needs WINEDLLOVERRIDES=hid,winmm=d";
    HIDD_ATTRIBUTES attributes{};
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    HIDP_CAPS caps{};
    BYTE report[8] = {};
    HWAVEIN waveIn = nullptr;
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
    WAVEHDR header{};
    const struct {
        const char* name;
        std::function<LONG()> call;
        LONG failure;
    } calls[] = {
        {"HidD_GetAttributes", [&] { return LONG{HidD_GetAttributes(nullptr, &attributes)}; },
         FALSE},
        {"HidD_GetPreparsedData", [&] { return LONG{HidD_GetPreparsedData(nullptr, &preparsed)}; },
         FALSE},
        {"HidD_FreePreparsedData", [&] { return LONG{HidD_FreePreparsedData(preparsed)}; }, FALSE},
        {"HidP_GetCaps", [&] { return HidP_GetCaps(preparsed, &caps); },
         HIDP_STATUS_INVALID_PREPARSED_DATA},
        {"HidD_GetFeature", [&] { return LONG{HidD_GetFeature(nullptr, report, sizeof report)}; },
         FALSE},
        {"HidD_SetFeature", [&] { return LONG{HidD_SetFeature(nullptr, report, sizeof report)}; },
         FALSE},
        {"HidD_GetManufacturerString",
         [&] { return LONG{HidD_GetManufacturerString(nullptr, report, sizeof report)}; }, FALSE},
        {"HidD_GetProductString",
         [&] { return LONG{HidD_GetProductString(nullptr, report, sizeof report)}; }, FALSE},
        {"HidD_GetSerialNumberString",
         [&] { return LONG{HidD_GetSerialNumberString(nullptr, report, sizeof report)}; }, FALSE},
        {"waveInGetNumDevs", [] { return static_cast<LONG>(waveInGetNumDevs()); }, 0},
        {"waveOutGetNumDevs", [] { return static_cast<LONG>(waveOutGetNumDevs()); }, 0},
        {"waveInMessage",
         [&] {
             return static_cast<LONG>(waveInMessage(waveIn, DRV_QUERYDEVICEINTERFACESIZE, 0, 0));
         },
         MMSYSERR_NODRIVER},
        {"waveOutMessage",
         [] {
             return static_cast<LONG>(waveOutMessage(nullptr, DRV_QUERYDEVICEINTERFACESIZE, 0, 0));
         },
         MMSYSERR_NODRIVER},
        {"waveInOpen",
         [&] { return static_cast<LONG>(waveInOpen(&waveIn, 0, &format, 0, 0, CALLBACK_NULL)); },
         MMSYSERR_NODRIVER},
        {"waveInPrepareHeader",
         [&] { return static_cast<LONG>(waveInPrepareHeader(waveIn, &header, sizeof header)); },
         MMSYSERR_NODRIVER},
        {"waveInAddBuffer",
         [&] { return static_cast<LONG>(waveInAddBuffer(waveIn, &header, sizeof header)); },
         MMSYSERR_NODRIVER},
        {"waveInStart", [&] { return static_cast<LONG>(waveInStart(waveIn)); }, MMSYSERR_NODRIVER},
        {"waveInStop", [&] { return static_cast<LONG>(waveInStop(waveIn)); }, MMSYSERR_NODRIVER},
        {"waveInReset", [&] { return static_cast<LONG>(waveInReset(waveIn)); }, MMSYSERR_NODRIVER},
        {"waveInUnprepareHeader",
         [&] { return static_cast<LONG>(waveInUnprepareHeader(waveIn, &header, sizeof header)); },
         MMSYSERR_NODRIVER},
        {"waveInClose", [&] { return static_cast<LONG>(waveInClose(waveIn)); }, MMSYSERR_NODRIVER},
    };
    for (const auto& entry : calls) {
        SCOPED_TRACE(entry.name);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(entry.call(), entry.failure);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }

    // Two that cannot fail. The GUID names no device class, so a search for HID devices finds
    // none; the time is the system's tick count, which counts the same milliseconds.
    GUID hid;
    std::memset(&hid, 0xA5, sizeof hid);
    HidD_GetHidGuid(&hid);
    EXPECT_TRUE(IsEqualGUID(hid, GUID{}));
    const DWORD before = GetTickCount();
    const DWORD time = timeGetTime();
    EXPECT_LE(before, time);
    EXPECT_LE(time, GetTickCount());
}

}  // namespace
