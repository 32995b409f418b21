// The feature-report transfers: their length rules, what goes on the wire, what comes back.
#include "device/vantorhid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "device/mixerids.h"
#include "tests/support/simulatedsystem.h"

namespace {

std::unique_ptr<CVantorHid> OpenMixer(WORD productId) {
    try {
        return std::make_unique<CVantorHid>(VENDOR_ID, productId, 0);
    } catch (...) {
        return nullptr;
    }
}

// Each call fails with the given last error.
void ExpectRefused(BOOL result, DWORD error) {
    EXPECT_FALSE(result);
    EXPECT_EQ(GetLastError(), error);
    SetLastError(ERROR_SUCCESS);
}

TEST(VantorHidTransfers, PayloadLengthMustLeaveRoomForTheReportId) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt));
    auto mixer = OpenMixer(PRODUCT_ID_UPDATE_ALT);
    ASSERT_NE(mixer, nullptr);
    std::array<BYTE, 80> buffer{};
    for (DWORD length : {0u, 65u, 66u}) {
        ExpectRefused(mixer->ReadFeature(REPORT_ID_COMMAND, buffer.data(), length),
                      ERROR_INVALID_USER_BUFFER);
        ExpectRefused(mixer->WriteFeature(REPORT_ID_DATA, buffer.data(), length),
                      ERROR_INVALID_USER_BUFFER);
    }
    ExpectRefused(mixer->ReadFeature(REPORT_ID_COMMAND, nullptr, 4), ERROR_INVALID_USER_BUFFER);
    ExpectRefused(mixer->WriteFeature(REPORT_ID_COMMAND, nullptr, 4), ERROR_INVALID_USER_BUFFER);
    // Nothing of that reached the mixer.
    EXPECT_TRUE(system.Mixer().GetTranscript().size() == 1);  // its arrival only
    EXPECT_TRUE(mixer->WriteFeature(REPORT_ID_DATA, buffer.data(), 64));
    EXPECT_TRUE(mixer->ReadFeature(REPORT_ID_COMMAND, buffer.data(), 64));
}

TEST(VantorHidTransfers, WithoutAReportLengthEveryTransferIsRefused) {
    // No preparsed data leaves the capabilities zero; a device may also report a length of 0.
    sim::SimConfig noPreparsedData;
    noPreparsedData.faults.noPreparsedData = true;
    sim::SimConfig zeroLength;
    zeroLength.featureReportByteLength = 0;
    for (const sim::SimConfig& config : {noPreparsedData, zeroLength}) {
        SimulatedSystem system(config);
        auto mixer = OpenMixer(PRODUCT_ID_RUN);
        ASSERT_NE(mixer, nullptr);
        EXPECT_EQ(mixer->m_Caps.FeatureReportByteLength, 0);
        DWORD word = 0;
        ExpectRefused(mixer->SendCommand("EFWU"), ERROR_INVALID_USER_BUFFER);
        ExpectRefused(mixer->ReadFeature(REPORT_ID_COMMAND, &word, 4), ERROR_INVALID_USER_BUFFER);
        EXPECT_FALSE(mixer->PollStatus(&word));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
        EXPECT_TRUE(system.Mixer().IsMixerPresent());  // "EFWU" never arrived
    }
}

TEST(VantorHidTransfers, AShortWriteStillSendsTheWholeReportZeroFilled) {
    // The mixer takes a data report as 60 bytes of flash; 4 given bytes must arrive with 56 zeros.
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt));
    auto mixer = OpenMixer(PRODUCT_ID_UPDATE_ALT);
    ASSERT_NE(mixer, nullptr);
    DWORD status = 0;
    ASSERT_TRUE(mixer->SendCommand("WRFW"));
    ASSERT_TRUE(mixer->PollStatus(&status));
    const BYTE tail[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    ASSERT_TRUE(mixer->WriteFeature(REPORT_ID_DATA, tail, sizeof tail));
    ASSERT_TRUE(mixer->PollStatus(&status));
    EXPECT_EQ(status, 4u);

    std::vector<BYTE> expected(DATA_BLOCK_SIZE, 0);
    std::copy(tail, tail + 4, expected.begin());
    EXPECT_EQ(system.Mixer().GetCodeFlash(), expected);
}

TEST(VantorHidTransfers, AReadReturnsOnlyTheRequestedPayload) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt));
    auto mixer = OpenMixer(PRODUCT_ID_UPDATE_ALT);
    ASSERT_NE(mixer, nullptr);
    ASSERT_TRUE(mixer->SendCommand("BLFW"));
    std::array<BYTE, 8> buffer;
    buffer.fill(0xCC);
    ASSERT_TRUE(mixer->ReadFeature(REPORT_ID_COMMAND, buffer.data(), 4));
    // Bytes 1 to 4 of the report: the status word 4, big-endian; neither the report id in front
    // nor anything after the requested length.
    EXPECT_EQ(buffer, (std::array<BYTE, 8>{0, 0, 0, 4, 0xCC, 0xCC, 0xCC, 0xCC}));
}

TEST(VantorHidTransfers, AFailedReadLeavesTheBufferAlone) {
    sim::SimConfig config = MixerStartingIn(sim::MixerStart::UpdateAlt);
    config.faults.commands.push_back({"BLFW", sim::CommandFault::Kind::StatusReadsFail, 1, 0});
    SimulatedSystem system(config);
    auto mixer = OpenMixer(PRODUCT_ID_UPDATE_ALT);
    ASSERT_NE(mixer, nullptr);
    ASSERT_TRUE(mixer->SendCommand("BLFW"));
    std::array<BYTE, 4> buffer;
    buffer.fill(0xCC);
    ExpectRefused(mixer->ReadFeature(REPORT_ID_COMMAND, buffer.data(), 4), ERROR_IO_DEVICE);
    EXPECT_EQ(buffer, (std::array<BYTE, 4>{0xCC, 0xCC, 0xCC, 0xCC}));
}

TEST(VantorHidTransfers, ClosedOrVanishedDevicesFailWithTheirOwnErrors) {
    SimulatedSystem system;
    auto mixer = OpenMixer(PRODUCT_ID_RUN);
    ASSERT_NE(mixer, nullptr);
    DWORD word = 0;

    const HANDLE open = mixer->m_hDevice;
    mixer->m_hDevice = INVALID_HANDLE_VALUE;
    ExpectRefused(mixer->ReadFeature(REPORT_ID_COMMAND, &word, 4), ERROR_INVALID_HANDLE);
    ExpectRefused(mixer->WriteFeature(REPORT_ID_COMMAND, &word, 4), ERROR_INVALID_HANDLE);
    mixer->m_hDevice = open;

    // "EFWU" sends the mixer off the bus: the open handle now leads nowhere.
    ASSERT_TRUE(mixer->SendCommand("EFWU"));
    ExpectRefused(mixer->SendCommand("EFWU"), ERROR_DEVICE_NOT_CONNECTED);
    ExpectRefused(mixer->ReadFeature(REPORT_ID_COMMAND, &word, 4), ERROR_DEVICE_NOT_CONNECTED);
}

}  // namespace
