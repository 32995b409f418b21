// The two port tests on their own: run on the test's thread against a recording site and the
// simulated mixer, with nothing of the wizard linked in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stages/porttests.h"
#include "tests/support/recordingsite.h"
#include "tests/support/simulatedsystem.h"

namespace {

using Strings = std::vector<std::string>;
using Values = std::vector<LONG>;

TEST(PortTestStage, AfterAnEarlierFailureNeitherTestTouchesTheMixerOrTheOutcome) {
    for (void (*run)(CWorkerSite&) : {RunUsbTest, RunDanteTest}) {
        SimulatedSystem system;
        RecordingSite site;
        site.earlierFailure = true;
        run(site);
        EXPECT_EQ(site.transcript, Strings{"posted done"});
        EXPECT_EQ(system.Mixer().GetTranscript(), Strings{"plug 0CA8:0801"});
    }
}

TEST(PortTestStage, WithoutAMixerBothAskEvenWhenQuietAndStoreBadUnit) {
    for (void (*run)(CWorkerSite&) : {RunUsbTest, RunDanteTest}) {
        SimulatedSystem system(MixerStartingIn(sim::MixerStart::Absent));
        RecordingSite site;
        run(site);
        EXPECT_EQ(site.transcript,
                  (Strings{"posted animate", "posted progress start", "sent ask not connected",
                           "failure 20", "posted done"}));
    }
}

TEST(PortTestStage, TheUsbTestsProgressFollowsTheCaptureOnTheVirtualClock) {
    SimulatedSystem system;
    RecordingSite site;
    RunUsbTest(site);
    EXPECT_EQ(site.Steps(),
              (Strings{"posted animate", "posted progress start", "success", "posted done"}));
    // 20 once the signal is on; then, every 10 ms of the one-second capture, 20 plus the share of
    // 75 that 1.5 s would fill; 100 after the capture and again after "UATD".
    Values expected{20};
    for (LONG tick = 1; tick <= 100; ++tick) {
        expected.push_back(20 + (tick * 10 * 75) / 1500);
    }
    expected.insert(expected.end(), {100, 100});
    EXPECT_EQ(site.progress, expected);
}

TEST(PortTestStage, TheDanteTestsProgressStepsEveryTenthOfASecond) {
    sim::SimConfig config;
    config.dante.readings = {10, 12};
    SimulatedSystem system(config);
    RecordingSite site;
    RunDanteTest(site);
    EXPECT_EQ(site.Steps(),
              (Strings{"posted animate", "posted progress start", "success", "posted done"}));
    // The share of the five seconds gone, before each 100 ms pause; 100 after the second reading.
    Values expected;
    for (LONG elapsed = 0; elapsed < 5000; elapsed += 100) {
        expected.push_back(elapsed * 100 / 5000);
    }
    expected.push_back(100);
    EXPECT_EQ(site.progress, expected);
}

}  // namespace
