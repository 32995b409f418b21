// The mixer's command protocol and flash, driven through the command channel as the update does.
#include "sim/mixerprotocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "device/findhiddevice.h"
#include "device/mixerids.h"
#include "device/vantorhid.h"
#include "tests/support/simulatedsystem.h"

namespace {

constexpr DWORD kFailed = 0xFFFFFFFF;

// One exchange: the command and its final status, or kFailed.
DWORD Exchange(CVantorHid& mixer, const char* code) {
    DWORD status = 0;
    if (!mixer.SendCommand(code) || !mixer.PollStatus(&status)) {
        return kFailed;
    }
    return status;
}

// Sends the data in blocks, each followed by its status; returns the first status other than 4.
DWORD SendBlocks(CVantorHid& mixer, const std::vector<BYTE>& data) {
    std::vector<BYTE> padded(data);
    padded.resize(data.size() + DATA_BLOCK_SIZE, 0);
    for (std::size_t offset = 0; offset < data.size(); offset += DATA_BLOCK_SIZE) {
        DWORD status = 0;
        if (!mixer.WriteFeature(REPORT_ID_DATA, padded.data() + offset, DATA_BLOCK_SIZE) ||
            !mixer.PollStatus(&status)) {
            return kFailed;
        }
        if (status != 4) {
            return status;
        }
    }
    return 4;
}

std::vector<BYTE> Payload(std::size_t size, BYTE seed) {
    std::vector<BYTE> data(size);
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<BYTE>(seed + i * 7);
    }
    return data;
}

std::vector<BYTE> PaddedToBlocks(std::vector<BYTE> data) {
    data.resize((data.size() + DATA_BLOCK_SIZE - 1) / DATA_BLOCK_SIZE * DATA_BLOCK_SIZE, 0);
    return data;
}

bool Present(WORD productId) {
    return FindHidDevice(VENDOR_ID, productId, 0, nullptr, 0, nullptr) != FALSE;
}

// Programs the code image in a write and a verify pass; `verifyData` may differ from `data`.
void ProgramCode(CVantorHid& mixer, const std::vector<BYTE>& data,
                 const std::vector<BYTE>& verifyData, DWORD expectedVerifyEnd) {
    EXPECT_EQ(Exchange(mixer, "ERFW"), 4u);
    EXPECT_EQ(Exchange(mixer, "BLFW"), 4u);
    EXPECT_EQ(Exchange(mixer, "WRFW"), 0u);
    EXPECT_EQ(SendBlocks(mixer, data), 4u);
    EXPECT_EQ(Exchange(mixer, "WRFI"), 4u);
    EXPECT_EQ(Exchange(mixer, "VFFW"), 0u);
    EXPECT_EQ(SendBlocks(mixer, verifyData), data == verifyData ? 4u : STATUS_MISMATCH);
    EXPECT_EQ(Exchange(mixer, "VFFI"), expectedVerifyEnd);
}

// Writes and verifies the logic image (the erase before it, if any, is the caller's).
void ProgramLogic(CVantorHid& mixer, const std::vector<BYTE>& data) {
    EXPECT_EQ(Exchange(mixer, "WRFP"), 0u);
    EXPECT_EQ(SendBlocks(mixer, data), 4u);
    EXPECT_EQ(Exchange(mixer, "WFPI"), 4u);
    EXPECT_EQ(Exchange(mixer, "VFFP"), 0u);
    EXPECT_EQ(SendBlocks(mixer, data), 4u);
    EXPECT_EQ(Exchange(mixer, "VFPI"), 4u);
}

TEST(MixerProtocol, AVerifiedImageIsKeptAndTheMixerBootsItsApplication) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt));
    const std::vector<BYTE> code = Payload(1000, 1);
    const std::vector<BYTE> logic = Payload(130, 9);
    {
        CVantorHid mixer(VENDOR_ID, PRODUCT_ID_UPDATE_ALT, 0);
        ProgramCode(mixer, code, code, 4);
        EXPECT_EQ(Exchange(mixer, "ERFP"), 4u);
        ProgramLogic(mixer, logic);
        EXPECT_TRUE(mixer.SendCommand("BOOT"));
    }
    // Whole blocks, the last one filled up with zeros.
    EXPECT_EQ(system.Mixer().GetCodeFlash(), PaddedToBlocks(code));
    EXPECT_EQ(system.Mixer().GetLogicFlash(), PaddedToBlocks(logic));
    Sleep(sim::SimTiming{}.restartMs);
    EXPECT_TRUE(Present(PRODUCT_ID_RUN));

    const auto transcript = system.Mixer().GetTranscript();
    const auto at = [&](const std::string& line) {
        return std::find(transcript.begin(), transcript.end(), line) != transcript.end();
    };
    EXPECT_TRUE(at("set F1 0"));
    EXPECT_TRUE(at("set F1 960"));
    EXPECT_FALSE(at("set F1 1020"));
    EXPECT_TRUE(at("set F1 120"));
}

TEST(MixerProtocol, AVerifyMismatchFailsThePassAndKeepsTheMixerInUpdateMode) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt));
    const std::vector<BYTE> code = Payload(600, 3);
    std::vector<BYTE> changed = code;
    changed[599] ^= 0x01;
    {
        CVantorHid mixer(VENDOR_ID, PRODUCT_ID_UPDATE_ALT, 0);
        ProgramCode(mixer, code, changed, STATUS_MISMATCH);
        EXPECT_TRUE(mixer.SendCommand("BOOT"));
    }
    Sleep(sim::SimTiming{}.restartMs);
    EXPECT_FALSE(Present(PRODUCT_ID_RUN));
    EXPECT_TRUE(Present(PRODUCT_ID_UPDATE_ALT));
}

TEST(MixerProtocol, AMixerLeftUntouchedBootsItsOldApplication) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::Update));
    {
        CVantorHid mixer(VENDOR_ID, PRODUCT_ID_UPDATE, 0);
        EXPECT_TRUE(mixer.SendCommand("BOOT"));
    }
    Sleep(sim::SimTiming{}.restartMs);
    EXPECT_TRUE(Present(PRODUCT_ID_RUN));
}

TEST(MixerProtocol, CommandsOutOfPlaceAreRejected) {
    struct Case {
        sim::MixerStart start;
        WORD productId;
        const char* command;
    };
    const Case cases[] = {
        {sim::MixerStart::Application, PRODUCT_ID_RUN, "ERFW"},  // update commands need update mode
        {sim::MixerStart::UpdateAlt, PRODUCT_ID_UPDATE_ALT, "BKFP"},  // no backup under 0x0804
        {sim::MixerStart::Update, PRODUCT_ID_UPDATE, "ERFP"},         // no logic erase under 0x0800
        {sim::MixerStart::Update, PRODUCT_ID_UPDATE, "BKFP"},         // nothing verified to back up
        {sim::MixerStart::Update, PRODUCT_ID_UPDATE, "WRFI"},         // no write pass open
        {sim::MixerStart::Update, PRODUCT_ID_UPDATE, "VFFW"},         // nothing written to verify
        {sim::MixerStart::Update, PRODUCT_ID_UPDATE, "XXXX"},
        {sim::MixerStart::Update, PRODUCT_ID_UPDATE, "UATE"},  // no audio function to test
        {sim::MixerStart::UpdateAlt, PRODUCT_ID_UPDATE_ALT, "GECF"},
    };
    for (const Case& c : cases) {
        SimulatedSystem system(MixerStartingIn(c.start));
        CVantorHid mixer(VENDOR_ID, c.productId, 0);
        EXPECT_EQ(Exchange(mixer, c.command), STATUS_REJECTED) << c.command;
        // A stray data block outside a pass is rejected too.
        const BYTE block[DATA_BLOCK_SIZE] = {};
        DWORD status = 0;
        ASSERT_TRUE(mixer.WriteFeature(REPORT_ID_DATA, block, sizeof block));
        ASSERT_TRUE(mixer.PollStatus(&status));
        EXPECT_EQ(status, STATUS_REJECTED);
    }
}

TEST(MixerProtocol, UnderTheFirstUpdateIdentityTheLogicImageIsBackedUp) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::Update));
    CVantorHid mixer(VENDOR_ID, PRODUCT_ID_UPDATE, 0);
    ProgramLogic(mixer, Payload(300, 5));
    // The backup keeps the mixer busy across several of the caller's 350 ms cycles.
    ASSERT_TRUE(mixer.SendCommand("BKFP"));
    int busyCycles = 0;
    DWORD status = STATUS_BUSY;
    while (status == STATUS_BUSY && busyCycles < 100) {
        ASSERT_TRUE(mixer.ReadStatusPass(&status));
        Sleep(350);
        busyCycles += status == STATUS_BUSY;
    }
    EXPECT_EQ(status, 4u);
    EXPECT_GE(busyCycles, 3);
}

TEST(MixerProtocol, TheChosenDataBlockFailsItsTransfer) {
    sim::SimConfig config = MixerStartingIn(sim::MixerStart::UpdateAlt);
    config.faults.failingBlock = 3;
    SimulatedSystem system(config);
    CVantorHid mixer(VENDOR_ID, PRODUCT_ID_UPDATE_ALT, 0);
    EXPECT_EQ(Exchange(mixer, "WRFW"), 0u);
    EXPECT_EQ(SendBlocks(mixer, Payload(600, 1)), kFailed);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_DEVICE));
    EXPECT_EQ(system.Mixer().GetCodeFlash().size(), 2 * DATA_BLOCK_SIZE);
    const auto transcript = system.Mixer().GetTranscript();
    EXPECT_EQ(transcript.back(), "set F1 120 failed 1117");
}

TEST(MixerProtocol, AnImageLargerThanItsFlashIsRefused) {
    struct Case {
        const char* open;
        const char* close;
        std::vector<BYTE> (sim::SimulatedVantor::*flash)() const;
    } const cases[] = {
        {"WRFW", "WRFI", &sim::SimulatedVantor::GetCodeFlash},
        {"WRFP", "WFPI", &sim::SimulatedVantor::GetLogicFlash},
    };
    for (const Case& c : cases) {
        sim::SimConfig config = MixerStartingIn(sim::MixerStart::UpdateAlt);
        config.flashImageBytes = 2 * DATA_BLOCK_SIZE;
        SimulatedSystem system(config);
        CVantorHid mixer(VENDOR_ID, PRODUCT_ID_UPDATE_ALT, 0);
        EXPECT_EQ(Exchange(mixer, c.open), 0u);
        // Two blocks fill the flash; the third has no room and is not kept.
        EXPECT_EQ(SendBlocks(mixer, Payload(3 * DATA_BLOCK_SIZE, 1)), STATUS_REJECTED);
        EXPECT_EQ((system.Mixer().*c.flash)(), Payload(2 * DATA_BLOCK_SIZE, 1)) << c.open;
        EXPECT_EQ(Exchange(mixer, c.close), STATUS_REJECTED) << c.close;
    }
}

TEST(MixerProtocol, GecfMakesTheNextStatusReadTheDanteCounters) {
    struct Case {
        std::vector<DWORD> readings;
        DWORD failingRead;
        std::vector<DWORD> expected;
    } const cases[] = {
        {{10, 12}, 0, {10, 12, 12}},  // the last reading stays
        {{sim::kDanteNotConnected}, 0, {sim::kDanteNotConnected, sim::kDanteNotConnected}},
        {{10, 12}, 2, {10, kFailed, 12}},  // the reading of a failed read comes next
    };
    for (const Case& c : cases) {
        sim::SimConfig config;
        config.dante.readings = c.readings;
        config.dante.failingRead = c.failingRead;
        SimulatedSystem system(config);
        CVantorHid mixer(VENDOR_ID, PRODUCT_ID_RUN, 0);
        std::vector<DWORD> readings;
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            ASSERT_TRUE(mixer.SendCommand("GECF"));
            BYTE answer[4];
            if (mixer.ReadFeature(REPORT_ID_COMMAND, answer, sizeof answer)) {
                DWORD word;
                std::memcpy(&word, answer, sizeof word);
                readings.push_back(ntohl(word));
            } else {
                EXPECT_EQ(GetLastError(), static_cast<DWORD>(sim::kTransferError));
                readings.push_back(kFailed);
            }
        }
        EXPECT_EQ(readings, c.expected);
        // The signal commands are the mixer's own too; a read after another command is that
        // command's status, not the counter's.
        ASSERT_TRUE(mixer.SendCommand("GECF"));
        EXPECT_EQ(Exchange(mixer, "UATE"), STATUS_DONE);
        EXPECT_EQ(Exchange(mixer, "UATD"), STATUS_DONE);
    }
}

}  // namespace
