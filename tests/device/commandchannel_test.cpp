// The command channel: commands, status polls with their retries and bounds, and one object shared
// between threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/mixerids.h"
#include "device/vantorhid.h"
#include "tests/support/simulatedsystem.h"

namespace {

using Kind = sim::CommandFault::Kind;

sim::SimConfig UpdateModeWith(std::vector<sim::CommandFault> faults) {
    sim::SimConfig config = MixerStartingIn(sim::MixerStart::UpdateAlt);
    config.faults.commands = std::move(faults);
    return config;
}

std::unique_ptr<CVantorHid> OpenMixer(WORD productId = PRODUCT_ID_UPDATE_ALT) {
    try {
        return std::make_unique<CVantorHid>(VENDOR_ID, productId, 0);
    } catch (...) {
        return nullptr;
    }
}

std::size_t CountLines(const std::vector<std::string>& transcript, const std::string& line) {
    return static_cast<std::size_t>(std::count(transcript.begin(), transcript.end(), line));
}

TEST(CommandChannel, TheStatusWordIsBigEndian) {
    SimulatedSystem system(UpdateModeWith({{"BLFW", Kind::WrongStatus, 0, 0x04000000}}));
    auto mixer = OpenMixer();
    ASSERT_NE(mixer, nullptr);
    DWORD status = 0;
    ASSERT_TRUE(mixer->SendCommand("ERFW"));
    ASSERT_TRUE(mixer->PollStatus(&status));
    EXPECT_EQ(status, 4u);
    // Bytes 04 00 00 00 are not 4.
    ASSERT_TRUE(mixer->SendCommand("BLFW"));
    ASSERT_TRUE(mixer->PollStatus(&status));
    EXPECT_EQ(status, 0x04000000u);
}

TEST(CommandChannel, APollReadsStraightThroughBusyAnswers) {
    // Erasing keeps the mixer busy for a while. Busy answers are read again at once, so the poll
    // costs only its transfers, a millisecond each on the wire.
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt));
    auto mixer = OpenMixer();
    ASSERT_NE(mixer, nullptr);
    ASSERT_TRUE(mixer->SendCommand("ERFW"));
    const DWORD start = timeGetTime();
    DWORD status = 0;
    ASSERT_TRUE(mixer->PollStatus(&status));
    EXPECT_EQ(status, 4u);
    const std::size_t busy = CountLines(system.Mixer().GetTranscript(), "get F0 00000001");
    EXPECT_GT(busy, 100u);
    EXPECT_LE(timeGetTime() - start, busy + 2);
}

TEST(CommandChannel, TwentyNineFailedReadsStillSucceedThirtyFail) {
    for (unsigned failures : {29u, 30u}) {
        sim::SimConfig config = UpdateModeWith({{"BLFW", Kind::StatusReadsFail, failures, 0}});
        config.timing.transferMs = 0;  // the poll's own pauses alone
        SimulatedSystem system(config);
        auto mixer = OpenMixer();
        ASSERT_NE(mixer, nullptr);
        ASSERT_TRUE(mixer->SendCommand("BLFW"));
        DWORD status = 0;
        SetLastError(ERROR_SUCCESS);
        const DWORD start = timeGetTime();
        const bool ok = mixer->PollStatus(&status);
        // A millisecond's pause after each failed read, none after the one that succeeds.
        EXPECT_EQ(timeGetTime() - start, failures);
        const auto transcript = system.Mixer().GetTranscript();
        EXPECT_EQ(CountLines(transcript, "get F0 failed 1117"), std::min(failures, 30u));
        if (failures < 30) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(status, 4u);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_DEVICE));
        }
    }
}

TEST(CommandChannel, BusyAnswersAreReadThroughUntilTheirBound) {
    {
        SimulatedSystem system(UpdateModeWith({{"BLFW", Kind::Busy, 500, 0}}));
        auto mixer = OpenMixer();
        ASSERT_NE(mixer, nullptr);
        ASSERT_TRUE(mixer->SendCommand("BLFW"));
        DWORD status = 0;
        ASSERT_TRUE(mixer->PollStatus(&status));
        EXPECT_EQ(status, 4u);
        EXPECT_EQ(CountLines(system.Mixer().GetTranscript(), "get F0 00000001"), 500u);
    }
    {
        // A mixer stuck at busy ends the poll after two minutes, not never.
        SimulatedSystem system(UpdateModeWith({{"BLFW", Kind::Busy, 0, 0}}));
        auto mixer = OpenMixer();
        ASSERT_NE(mixer, nullptr);
        ASSERT_TRUE(mixer->SendCommand("BLFW"));
        const DWORD start = timeGetTime();
        DWORD status = 0;
        EXPECT_FALSE(mixer->PollStatus(&status));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
        const DWORD elapsed = timeGetTime() - start;
        EXPECT_GE(elapsed, STATUS_BUSY_LIMIT_MS);
        EXPECT_LT(elapsed, STATUS_BUSY_LIMIT_MS + 1000);
    }
}

TEST(CommandChannel, AStatusPassHandsBusyToItsCaller) {
    // Callers that pace their own busy cycles see the busy status in host order.
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt));
    auto mixer = OpenMixer();
    ASSERT_NE(mixer, nullptr);
    ASSERT_TRUE(mixer->SendCommand("ERFW"));
    DWORD status = 0;
    ASSERT_TRUE(mixer->ReadStatusPass(&status));
    EXPECT_EQ(status, STATUS_BUSY);
    Sleep(1000);
    ASSERT_TRUE(mixer->ReadStatusPass(&status));
    EXPECT_EQ(status, 4u);
}

TEST(CommandChannel, ASendThatFailsIsReported) {
    SimulatedSystem system(UpdateModeWith({{"ERFW", Kind::SendFails, 1, 0}}));
    auto mixer = OpenMixer();
    ASSERT_NE(mixer, nullptr);
    EXPECT_FALSE(mixer->SendCommand("ERFW"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_DEVICE));
    EXPECT_TRUE(mixer->SendCommand("ERFW"));  // it failed once only
    EXPECT_FALSE(mixer->SendCommand("ERF"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// Each thread sends data blocks and reads their status, as fast as the wire allows.
void Exchange(CVantorHid* mixer, int count) {
    const BYTE block[DATA_BLOCK_SIZE] = {};
    DWORD word = 0;
    for (int i = 0; i < count; ++i) {
        mixer->WriteFeature(REPORT_ID_DATA, block, sizeof block);
        mixer->ReadFeature(REPORT_ID_COMMAND, &word, sizeof word);
    }
}

TEST(CommandChannel, ThreadsSharingOneObjectNeverOverlapATransfer) {
    // Real time, so that each transfer really stays on the wire for its millisecond.
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt), false);
    auto shared = OpenMixer();
    ASSERT_NE(shared, nullptr);
    std::thread a(Exchange, shared.get(), 100);
    std::thread b(Exchange, shared.get(), 100);
    a.join();
    b.join();
    EXPECT_EQ(system.Mixer().GetOverlappingTransfers(), 0u);

    // Two objects have a lock each, so their transfers can meet on the wire: the count sees it.
    auto other = OpenMixer();
    ASSERT_NE(other, nullptr);
    std::thread c(Exchange, shared.get(), 100);
    std::thread d(Exchange, other.get(), 100);
    c.join();
    d.join();
    EXPECT_GT(system.Mixer().GetOverlappingTransfers(), 0u);
}

}  // namespace
