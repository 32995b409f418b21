// The simulated system: its device tree, the mixer's restarts and installations, and what
// happens to the bus when it fails.
#include "sim/simulatedvantor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "device/findhiddevice.h"
#include "device/mixerids.h"
#include "device/vantorhid.h"
#include "tests/support/simulatedsystem.h"

namespace {

using WaitFunction = DWORD (*)(DWORD);

WaitFunction InstallWait() {
    FARPROC proc =
        GetProcAddress(GetModuleHandleA("setupapi.dll"), "CMP_WaitNoPendingInstallEvents");
    return reinterpret_cast<WaitFunction>(reinterpret_cast<void (*)()>(proc));
}

bool Present(WORD productId) {
    return FindHidDevice(VENDOR_ID, productId, 0, nullptr, 0, nullptr) != FALSE;
}

TEST(SimulatedSystem, TheMixerIsAUsbCompositeDeviceOnTheRootHub) {
    sim::SimConfig config;
    config.secondMixer = true;
    SimulatedSystem system(config);
    // HID device node, HID interface function, USB composite device, root hub, controller, root.
    std::vector<DEVINST> chains[2];
    for (int ordinal = 0; ordinal < 2; ++ordinal) {
        DEVINST node = 0;
        ASSERT_TRUE(FindHidDevice(VENDOR_ID, PRODUCT_ID_RUN, ordinal, nullptr, 0, &node));
        chains[ordinal].push_back(node);
        DEVINST parent = 0;
        while (CM_Get_Parent(&parent, node, 0) == CR_SUCCESS) {
            chains[ordinal].push_back(parent);
            node = parent;
        }
        EXPECT_EQ(CM_Get_Parent(&parent, node, 0), CR_NO_SUCH_DEVNODE);
    }
    ASSERT_EQ(chains[0].size(), 6u);
    ASSERT_EQ(chains[1].size(), 6u);
    // Two mixers: their own devices below one root hub.
    EXPECT_NE(chains[0][2], chains[1][2]);
    EXPECT_EQ(chains[0][3], chains[1][3]);
}

TEST(SimulatedSystem, AnUnplugHoldsWhenTheTransferRestartedTheMixer) {
    sim::SimConfig config;
    config.faults.unplugAfterTransfers = 1;
    SimulatedSystem system(config);
    {
        CVantorHid mixer(VENDOR_ID, PRODUCT_ID_RUN, 0);
        ASSERT_TRUE(mixer.SendCommand("EFWU"));
    }
    Sleep(config.timing.restartMs + config.timing.installationMs);
    EXPECT_FALSE(Present(PRODUCT_ID_UPDATE_ALT));
    EXPECT_FALSE(Present(PRODUCT_ID_RUN));
    EXPECT_EQ(system.Mixer().GetTranscript(),
              (std::vector<std::string>{"plug 0CA8:0801", "set F0 EFWU", "unplug 0CA8:0801"}));
    // Plugged in again, it is in the mode it was going to.
    system.Mixer().Replug();
    EXPECT_TRUE(Present(PRODUCT_ID_RUN) || Present(PRODUCT_ID_UPDATE_ALT));
}

TEST(SimulatedSystem, TheSecondMixersBusEventsAreMarkedAsItsOwn) {
    sim::SimConfig config;
    config.secondMixer = true;
    SimulatedSystem system(config);
    {
        CVantorHid second(VENDOR_ID, PRODUCT_ID_RUN, 1);
        ASSERT_TRUE(second.SendCommand("EFWU"));
    }
    Sleep(config.timing.restartMs);
    EXPECT_TRUE(Present(PRODUCT_ID_UPDATE_ALT));
    EXPECT_EQ(system.Mixer().GetTranscript(),
              (std::vector<std::string>{"plug 0CA8:0801", "plug 0CA8:0801 (mixer 2)",
                                        "set F0 EFWU (mixer 2)", "unplug 0CA8:0801 (mixer 2)",
                                        "plug 0CA8:0804 (mixer 2)"}));
}

TEST(SimulatedSystem, EfwuRestartsTheMixerUnderItsUpdateIdentity) {
    for (WORD updateId : {PRODUCT_ID_UPDATE_ALT, PRODUCT_ID_UPDATE}) {
        sim::SimConfig config;
        config.updateProductId = updateId;
        SimulatedSystem system(config);
        const WaitFunction wait = InstallWait();
        ASSERT_NE(wait, nullptr);
        EXPECT_EQ(wait(0), static_cast<DWORD>(WAIT_OBJECT_0));
        {
            CVantorHid mixer(VENDOR_ID, PRODUCT_ID_RUN, 0);
            ASSERT_TRUE(mixer.SendCommand("EFWU"));
        }
        // Off the bus for a while, then back and being installed, then installed.
        EXPECT_FALSE(Present(PRODUCT_ID_RUN));
        EXPECT_FALSE(Present(updateId));
        Sleep(config.timing.restartMs);
        EXPECT_TRUE(Present(updateId));
        EXPECT_EQ(wait(0), static_cast<DWORD>(WAIT_TIMEOUT));
        Sleep(config.timing.installationMs);
        EXPECT_EQ(wait(0), static_cast<DWORD>(WAIT_OBJECT_0));

        char plug[32];
        std::snprintf(plug, sizeof plug, "plug 0CA8:%04X", updateId);
        EXPECT_EQ(
            system.Mixer().GetTranscript(),
            (std::vector<std::string>{"plug 0CA8:0801", "set F0 EFWU", "unplug 0CA8:0801", plug}));
    }
}

TEST(SimulatedSystem, AMixerThatIgnoresEfwuStaysInApplicationMode) {
    sim::SimConfig config;
    config.faults.ignoreEfwu = true;
    SimulatedSystem system(config);
    {
        CVantorHid mixer(VENDOR_ID, PRODUCT_ID_RUN, 0);
        ASSERT_TRUE(mixer.SendCommand("EFWU"));
    }
    Sleep(10000);
    EXPECT_TRUE(Present(PRODUCT_ID_RUN));
    EXPECT_FALSE(Present(PRODUCT_ID_UPDATE_ALT));
}

TEST(SimulatedSystem, AnUnpluggedMixerNeverComesBack) {
    sim::SimConfig config = MixerStartingIn(sim::MixerStart::UpdateAlt);
    config.faults.unplugAfterTransfers = 3;
    SimulatedSystem system(config);
    CVantorHid mixer(VENDOR_ID, PRODUCT_ID_UPDATE_ALT, 0);
    DWORD status = 0;
    ASSERT_TRUE(mixer.SendCommand("BLFW"));
    ASSERT_TRUE(mixer.PollStatus(&status));
    ASSERT_TRUE(mixer.SendCommand("BLFW"));
    EXPECT_FALSE(mixer.SendCommand("BLFW"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    Sleep(60000);
    EXPECT_FALSE(system.Mixer().IsMixerPresent());
    EXPECT_FALSE(Present(PRODUCT_ID_UPDATE_ALT));
    const auto transcript = system.Mixer().GetTranscript();
    EXPECT_EQ(transcript[4], "unplug 0CA8:0804");
    EXPECT_EQ(transcript[5], "set F0 BLFW failed 1167");
}

TEST(SimulatedSystem, TheTranscriptAlsoGoesToItsStream) {
    std::ostringstream stream;
    sim::SimConfig config = MixerStartingIn(sim::MixerStart::Update);
    config.transcript = &stream;
    SimulatedSystem system(config);
    CVantorHid mixer(VENDOR_ID, PRODUCT_ID_UPDATE, 0);
    DWORD status = 0;
    ASSERT_TRUE(mixer.SendCommand("BLFW"));
    ASSERT_TRUE(mixer.PollStatus(&status));
    EXPECT_EQ(stream.str(), "plug 0CA8:0800\nset F0 BLFW\nget F0 00000004\n");
}

}  // namespace
