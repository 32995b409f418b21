// The update stage on its own: run on the test's thread against a recording site and the
// simulated mixer, with no page, no window and no part of the wizard linked in.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "stages/updatestage.h"
#include "tests/stages/embeddedimages.h"
#include "tests/support/recordingsite.h"
#include "tests/support/simulatedsystem.h"

namespace {

using Strings = std::vector<std::string>;

constexpr FirmwareImageIds kShippedImages{IDR_CODE_IMAGE, IDR_LOGIC_IMAGE_0800,
                                          IDR_LOGIC_IMAGE_0804};

TEST(UpdateStage, TellsItsSiteEveryStepAndStoresSuccessJustBeforeDone) {
    SimulatedSystem system;
    RecordingSite site;
    RunUpdateStage(site, kShippedImages);
    // The mixer comes back as 0x0804: the logic image is written once, under the marquee, after
    // "ERFP".
    EXPECT_EQ(site.Steps(),
              (Strings{"posted animate", "posted progress start", "posted marquee on",
                       "posted marquee off", "posted animate", "success", "posted done"}));
    // 5 and 10 for the erase and the boot loader; one value per block of each pass; 100 when the
    // code is verified.
    EXPECT_EQ(site.progress.size(), 2 + 2 * kCodeBlocks + 1 + 2 * kLogicBlocks);
    EXPECT_EQ(site.progress[0], 5);
    EXPECT_EQ(site.progress[1], 10);
    EXPECT_EQ(site.progress[2 + 2 * kCodeBlocks], 100);
    EXPECT_TRUE(std::is_sorted(site.progress.begin(), site.progress.end()));
    // The last verify block of the single logic pass: 117 + 50 + 16 * offset / size.
    EXPECT_EQ(site.progress.back(), 182);
}

TEST(UpdateStage, WithoutAMixerAsksOnlyWhenNotQuietAndStoresBadUnit) {
    for (const bool quiet : {true, false}) {
        SimulatedSystem system(MixerStartingIn(sim::MixerStart::Absent));
        RecordingSite site;
        site.quiet = quiet;
        RunUpdateStage(site, kShippedImages);
        Strings expected{"posted animate", "posted progress start", "failure 20", "posted done"};
        if (!quiet) {
            expected.insert(expected.begin() + 2, "sent ask not connected");
        }
        EXPECT_EQ(site.transcript, expected) << quiet;
    }
}

TEST(UpdateStage, WritesTheLogicImageWhoseIdItIsGivenForTheMixersIdentity) {
    // Under 0x0800 the first logic id is written, here the image made for 0x0804.
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::Update));
    RecordingSite site;
    RunUpdateStage(site, {IDR_CODE_IMAGE, IDR_LOGIC_IMAGE_0804, IDR_LOGIC_IMAGE_0800});
    EXPECT_EQ(site.Steps().back(), "posted done");
    EXPECT_EQ(system.Mixer().GetLogicFlash(), ExpectedFlash(IDR_LOGIC_IMAGE_0804));
}

TEST(UpdateStage, ACodeIdThatNamesNoImageFailsBeforeAnythingIsWritten) {
    SimulatedSystem system;
    RecordingSite site;
    RunUpdateStage(site, {999, IDR_LOGIC_IMAGE_0800, IDR_LOGIC_IMAGE_0804});
    EXPECT_EQ(site.progress, std::vector<LONG>{});
    EXPECT_EQ(site.Steps(),
              (Strings{"posted animate", "posted progress start", "posted animate",
                       "failure " + std::to_string(ERROR_RESOURCE_NAME_NOT_FOUND), "posted done"}));
}

}  // namespace
