// The USB audio port test against the simulated mixer's audio function.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/portable/wavein.h"
#include "device/testsignal.h"
#include "sim/mixerprotocol.h"
#include "tests/porttest/porttestrun.h"

namespace {

using Codes = std::vector<UINT>;
using Values = std::vector<LONG>;
using Kind = portable::ViewEvent::Kind;

const char* const kUsbOnly = "-quiet -usbtestonly";

TEST(TestSignal, IsTheGaloisSequenceWithMaskB400) {
    EXPECT_EQ(NextTestSample(0x0001), 0xB400);
    EXPECT_EQ(NextTestSample(0xB400), 0x5A00);
    EXPECT_EQ(NextTestSample(0x5A00), 0x2D00);
    EXPECT_EQ(NextTestSample(0x2D00), 0x1680);
    EXPECT_EQ(NextTestSample(0xACE1), 0xE270);
    EXPECT_EQ(NextTestSample(0xE270), 0x7138);
    EXPECT_EQ(NextTestSample(0), 0);
    // Every non-zero value, then back to the start.
    WORD state = 1;
    unsigned period = 0;
    do {
        state = NextTestSample(state);
        ++period;
    } while (state != 1 && period <= 70000);
    EXPECT_EQ(period, 65535u);
}

TEST(UsbTest, PassesOnTheMixersSignal) {
    PortTestRun run;
    EXPECT_EQ(run.Run(kUsbOnly), 0);
    EXPECT_EQ(run.FinishText(IDC_FINISH_TEXT),
              "The Vantor firmware was successfully updated.\n\nThe USB port test PASSED.");
    EXPECT_TRUE(run.Sent("set F0 UATE"));
    EXPECT_TRUE(run.Sent("set F0 UATD"));
    const Codes codes = run.wizard.CodesOn(IDD_TESTING);
    ASSERT_GE(codes.size(), 5u);
    EXPECT_EQ(Codes(codes.begin(), codes.begin() + 2), (Codes{0, 1}));
    EXPECT_EQ(codes.back(), 4u);
    // 20 after the signal's start, up to 95 while the buffer fills, 100 twice at the end.
    const Values progress = run.wizard.ProgressOn(IDD_TESTING);
    ASSERT_GE(progress.size(), 4u);
    EXPECT_EQ(progress.front(), 20);
    EXPECT_EQ(Values(progress.end() - 2, progress.end()), (Values{100, 100}));
    EXPECT_LE(*std::max_element(progress.begin(), progress.end() - 2), 95);
}

TEST(UsbTest, AfterAnEarlierFailureItOnlyMovesOn) {
    PortTestRun run(MixerStartingIn(sim::MixerStart::Absent));
    EXPECT_EQ(run.Run("-quiet -usbtest"), ERROR_BAD_UNIT);
    EXPECT_EQ(run.wizard.CodesOn(IDD_TESTING), Codes{4});
    EXPECT_TRUE(run.wizard.view.Events(Kind::MessageBoxShown).empty());
}

TEST(UsbTest, WithoutAMixerItAsksEvenInQuietMode) {
    PortTestRun run(MixerStartingIn(sim::MixerStart::Absent));
    EXPECT_EQ(run.Run(kUsbOnly), ERROR_BAD_UNIT);
    EXPECT_EQ(run.wizard.CodesOn(IDD_TESTING), (Codes{0, 1, 3, 4}));
    EXPECT_EQ(run.wizard.view.Events(Kind::MessageBoxShown).size(), 1u);
    EXPECT_EQ(run.FinishText(IDC_FINISH_TITLE), "USB Test Failed");
}

TEST(UsbTest, ARefusedUateStillEndsWithUatd) {
    sim::SimConfig config;
    config.faults.commands.push_back({"UATE", sim::CommandFault::Kind::SendFails, 0, 0});
    config.faults.commands.push_back({"UATD", sim::CommandFault::Kind::SendFails, 0, 0});
    PortTestRun run(config);
    EXPECT_EQ(run.Run(kUsbOnly), static_cast<int>(sim::kTransferError));
    EXPECT_TRUE(run.Sent("set F0 UATD failed 1117"));
    EXPECT_EQ(run.wizard.ProgressOn(IDD_TESTING), Values{100});
}

TEST(UsbTest, EachCaptureFailureGivesItsError) {
    struct Case {
        const char* name;
        void (*set)(sim::AudioConfig&);
        DWORD error;
    } const cases[] = {
        {"no wave devices yet", [](sim::AudioConfig& a) { a.noWaveDevices = true; },
         ERROR_BAD_UNIT},
        {"open: bad format", [](sim::AudioConfig& a) { a.openResult = WAVERR_BADFORMAT; },
         ERROR_NOT_SUPPORTED},
        {"open: not enabled", [](sim::AudioConfig& a) { a.openResult = MMSYSERR_NOTENABLED; },
         ERROR_GEN_FAILURE},
        {"open: allocated", [](sim::AudioConfig& a) { a.openResult = MMSYSERR_ALLOCATED; },
         ERROR_BUSY},
        {"prepare: no memory", [](sim::AudioConfig& a) { a.prepareResult = MMSYSERR_NOMEM; },
         ERROR_OUTOFMEMORY},
        {"add: sync", [](sim::AudioConfig& a) { a.addResult = WAVERR_SYNC; },
         ERROR_INVALID_USER_BUFFER},
        {"start: no driver", [](sim::AudioConfig& a) { a.startResult = MMSYSERR_NODRIVER; },
         ERROR_BAD_DRIVER},
        {"never completes", [](sim::AudioConfig& a) { a.bufferNeverCompletes = true; },
         WAIT_TIMEOUT},
        {"silence", [](sim::AudioConfig& a) { a.silence = true; }, ERROR_INVALID_DATA},
        {"channels differ", [](sim::AudioConfig& a) { a.channelsDiffer = true; },
         ERROR_INVALID_DATA},
        {"frame dropped at the window's start", [](sim::AudioConfig& a) { a.dropFrameAt = 43905; },
         ERROR_INVALID_DATA},
        {"frame repeated at the last frame", [](sim::AudioConfig& a) { a.repeatFrameAt = 47999; },
         ERROR_INVALID_DATA},
        {"frame dropped before the window", [](sim::AudioConfig& a) { a.dropFrameAt = 1000; }, 0},
        {"frame repeated before the window", [](sim::AudioConfig& a) { a.repeatFrameAt = 43903; },
         0},
    };
    for (const Case& c : cases) {
        sim::SimConfig config;
        c.set(config.audio);
        PortTestRun run(config);
        const std::size_t leftPrepared = portable::HeadersLeftPreparedAtClose();
        EXPECT_EQ(run.Run(kUsbOnly), static_cast<int>(c.error)) << c.name;
        // Every path that prepared the header unprepares it before the device closes.
        EXPECT_EQ(portable::HeadersLeftPreparedAtClose(), leftPrepared) << c.name;
        EXPECT_TRUE(run.Sent("set F0 UATD")) << c.name;  // the test mode always goes off
        const Values progress = run.wizard.ProgressOn(IDD_TESTING);
        ASSERT_FALSE(progress.empty()) << c.name;
        EXPECT_EQ(progress.front(), 20) << c.name;
        EXPECT_EQ(progress.back(), 100) << c.name;
    }
}

TEST(UsbTest, ATimedOutCaptureIsResetAndGivenTimeToSettle) {
    sim::SimConfig config;
    config.audio.bufferNeverCompletes = true;
    PortTestRun run(config);
    const DWORD start = timeGetTime();
    EXPECT_EQ(run.Run(kUsbOnly), static_cast<int>(WAIT_TIMEOUT));
    // The 500 ms for the signal, the 1,500 ms limit and the 250 ms after the reset, at least; and
    // no more than a poll's 10 ms and the transfers' milliseconds on top.
    EXPECT_GE(timeGetTime() - start, 2250u);
    EXPECT_LE(timeGetTime() - start, 2250u + 10 + 10);
    const Values progress = run.wizard.ProgressOn(IDD_TESTING);
    EXPECT_EQ(*std::max_element(progress.begin(), progress.end() - 2), 95);
}

TEST(UsbTest, ARejectedUatdAfterAGoodCaptureFails) {
    sim::SimConfig config;
    config.faults.commands.push_back({"UATD", sim::CommandFault::Kind::SendFails, 0, 0});
    PortTestRun run(config);
    EXPECT_EQ(run.Run(kUsbOnly), static_cast<int>(sim::kTransferError));
    EXPECT_EQ(run.FinishText(IDC_FINISH_TITLE), "USB Test Failed");
}

}  // namespace
