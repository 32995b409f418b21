// Finding the mixer's own wave device among the system's.
#include "device/findwavedevice.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device/mixerids.h"
#include "device/vantorhid.h"
#include "tests/support/simulatedsystem.h"

namespace {

// The device interface a wave device reports, in ASCII lower case.
std::string InterfaceOf(int id, bool playback) {
    WCHAR name[512] = {};
    const MMRESULT result =
        playback ? waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(id)),
                                  DRV_QUERYDEVICEINTERFACE, reinterpret_cast<DWORD_PTR>(name),
                                  sizeof name)
                 : waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(id)),
                                 DRV_QUERYDEVICEINTERFACE, reinterpret_cast<DWORD_PTR>(name),
                                 sizeof name);
    std::string text;
    for (const WCHAR* c = name; result == MMSYSERR_NOERROR && *c != 0; ++c) {
        const char ascii = static_cast<char>(*c);
        text += (ascii >= 'A' && ascii <= 'Z') ? static_cast<char>(ascii - 'A' + 'a') : ascii;
    }
    return text;
}

struct Found {
    int id;
    DWORD error;
};

Found FindMixersDevice(bool playback) {
    CVantorHid mixer(VENDOR_ID, PRODUCT_ID_RUN, 0);
    SetLastError(ERROR_SUCCESS);
    const int id = FindWaveDevice(mixer, playback ? TRUE : FALSE);
    return {id, GetLastError()};
}

TEST(FindWaveDevice, ChoosesTheMixersOwnDeviceAmongOthers) {
    SimulatedSystem system;
    // Another capture device is listed first, and a device of the same vendor is there too.
    ASSERT_GE(waveInGetNumDevs(), 3u);
    const Found capture = FindMixersDevice(false);
    ASSERT_GE(capture.id, 0);
    EXPECT_NE(capture.id, 0);
    EXPECT_NE(InterfaceOf(capture.id, false).find("vid_0ca8&pid_0801&mi_01"), std::string::npos)
        << InterfaceOf(capture.id, false);
    for (UINT id = 0; id < waveInGetNumDevs(); ++id) {
        if (static_cast<int>(id) != capture.id) {
            EXPECT_EQ(InterfaceOf(static_cast<int>(id), false).find("pid_0801"), std::string::npos);
        }
    }
    const Found playback = FindMixersDevice(true);
    ASSERT_GE(playback.id, 0);
    EXPECT_NE(InterfaceOf(playback.id, true).find("vid_0ca8&pid_0801&mi_01"), std::string::npos);
}

TEST(FindWaveDevice, IgnoresTheLetterCaseOfTheReportedName) {
    sim::SimConfig config;
    config.audio.nameInOtherCase = true;
    SimulatedSystem system(config);
    EXPECT_GE(FindMixersDevice(false).id, 0);
}

TEST(FindWaveDevice, WithoutAUsableDeviceGivesBadUnit) {
    for (const bool longName : {false, true}) {
        sim::SimConfig config;
        (longName ? config.audio.longInterfaceName : config.audio.noWaveDevices) = true;
        SimulatedSystem system(config);
        const Found found = FindMixersDevice(false);
        EXPECT_EQ(found.id, -1) << longName;
        EXPECT_EQ(found.error, static_cast<DWORD>(ERROR_BAD_UNIT)) << longName;
    }
}

}  // namespace
