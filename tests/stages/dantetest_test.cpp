// The Dante serial port test against the simulated mixer's counter, and how the stages' outcomes
// chain into the finish page.
#include <gtest/gtest.h>

#include <vector>

#include "sim/mixerprotocol.h"
#include "tests/stages/porttestrun.h"

namespace {

using Codes = std::vector<UINT>;
using Values = std::vector<LONG>;
using Kind = portable::ViewEvent::Kind;

sim::SimConfig WithReadings(std::vector<DWORD> readings) {
    sim::SimConfig config;
    config.dante.readings = std::move(readings);
    return config;
}

TEST(DanteTest, PassesWhenTheCounterGrewByTwoAtMost) {
    struct Case {
        std::vector<DWORD> readings;
        DWORD error;
    } const cases[] = {
        {{10, 12}, 0},
        {{10, 13}, static_cast<DWORD>(SCARD_F_COMM_ERROR)},
        {{12, 10}, static_cast<DWORD>(SCARD_F_COMM_ERROR)},  // down is a huge growth
        {{0xFFFFFFFE, 0}, 0},                                // up by 2 across the wrap
    };
    for (const Case& c : cases) {
        PortTestRun run(WithReadings(c.readings));
        EXPECT_EQ(run.Run("-quiet -dantetestonly"), static_cast<int>(c.error)) << c.readings[0];
        if (c.error == 0) {
            EXPECT_EQ(
                run.FinishText(IDC_FINISH_TEXT),
                "The Vantor firmware was successfully updated.\n\nThe Dante port test PASSED.");
        } else {
            EXPECT_EQ(run.FinishText(IDC_FINISH_TITLE), "Dante Serial Port Test Failed");
        }
    }
}

TEST(DanteTest, TheReadingsAreFiveSecondsApart) {
    PortTestRun run(WithReadings({10, 12}));
    const DWORD start = timeGetTime();
    EXPECT_EQ(run.Run("-quiet -dantetestonly"), 0);
    EXPECT_GE(timeGetTime() - start, 5000u);
    const Values progress = run.wizard.ProgressOn(IDD_DANTE);
    ASSERT_GE(progress.size(), 50u);  // one per 100 ms of the wait
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    for (std::size_t i = 0; i + 1 < progress.size(); ++i) {
        EXPECT_LT(progress[i], 100);
    }
}

TEST(DanteTest, ANotConnectedPortFailsAtOnce) {
    PortTestRun run(WithReadings({0xFFFFFFFF}));
    const DWORD start = timeGetTime();
    EXPECT_EQ(run.Run("-quiet -dantetestonly"), ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_LT(timeGetTime() - start, 5000u);
    EXPECT_EQ(run.wizard.ProgressOn(IDD_DANTE), Values{100});
}

TEST(DanteTest, AFailingSecondReadGivesTheChannelsError) {
    sim::SimConfig config = WithReadings({10, 11});
    config.dante.failingRead = 2;
    PortTestRun run(config);
    EXPECT_EQ(run.Run("-quiet -dantetestonly"), static_cast<int>(sim::kTransferError));
}

TEST(DanteTest, WithoutAMixerItAsksEvenInQuietMode) {
    PortTestRun run(MixerStartingIn(sim::MixerStart::Absent));
    EXPECT_EQ(run.Run("-quiet -dantetestonly"), ERROR_BAD_UNIT);
    EXPECT_EQ(run.wizard.CodesOn(IDD_DANTE), (Codes{0, 1, 3, 4}));
    EXPECT_EQ(run.wizard.view.Events(Kind::MessageBoxShown).size(), 1u);
}

TEST(Stages, BothTestsPassedAfterTheUpdate) {
    PortTestRun run(WithReadings({10, 12}));
    EXPECT_EQ(run.Run("-quiet -usbtest -dantetest"), 0);
    EXPECT_EQ(run.FinishText(IDC_FINISH_TEXT),
              "The Vantor firmware was successfully updated.\n\nThe USB port test PASSED.\n\nThe "
              "Dante port test PASSED.");
}

TEST(Stages, AFailedUsbTestSkipsTheDanteTest) {
    sim::SimConfig config;
    config.audio.silence = true;
    PortTestRun run(config);
    EXPECT_EQ(run.Run("-quiet -usbtestonly -dantetest"), ERROR_INVALID_DATA);
    EXPECT_EQ(run.wizard.CodesOn(IDD_DANTE), Codes{4});
    EXPECT_FALSE(run.Sent("set F0 GECF"));
    EXPECT_EQ(run.FinishText(IDC_FINISH_TITLE), "USB Test Failed");
}

}  // namespace
