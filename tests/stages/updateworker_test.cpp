// The firmware update from end to end: the real update worker on its page, against the simulated
// mixer on the virtual clock, asserting on the mixer's transcript and flash and on what the page
// showed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "sim/mixerprotocol.h"
#include "tests/stages/updaterun.h"

namespace {

using portable::Press;
using Kind = portable::ViewEvent::Kind;
using Fault = sim::CommandFault::Kind;
using Strings = std::vector<std::string>;

std::vector<int> Range(int first, int last) {
    std::vector<int> values;
    for (int value = first; value <= last; ++value) {
        values.push_back(value);
    }
    return values;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> joined;
    for (const std::vector<int>& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

std::string FinishTitle(const UpdateRun& run) {
    return run.wizard.LastStateOf(IDD_FINISH).page.Control(IDC_FINISH_TITLE)->text;
}

sim::SimConfig Starting(sim::MixerStart start) {
    sim::SimConfig config;
    config.start = start;
    return config;
}

TEST(Update, AFullUpdateWritesEachPayloadAndTheMixerComesBackRunning) {
    UpdateRun run;
    EXPECT_EQ(run.Run("-quiet"), 0);

    EXPECT_EQ(run.Commands(), (Strings{"EFWU", "ERFW", "BLFW", "WRFW", "WRFI", "VFFW", "VFFI",
                                       "ERFP", "WRFP", "WFPI", "VFFP", "VFPI", "BOOT"}));
    EXPECT_EQ(run.Blocks(), 2 * kCodeBlocks + 2 * kLogicBlocks);
    // Byte for byte, the last block of each filled up with zeros: 32 for the code image, 40 for
    // the logic image.
    const std::vector<BYTE> code = ExpectedFlash(IDR_CODE_IMAGE);
    const std::vector<BYTE> logic = ExpectedFlash(IDR_LOGIC_IMAGE_0804);
    EXPECT_EQ(code.size(), kCodeBlocks * 60);
    EXPECT_EQ(code.size() - (ResourceBytes(IDR_CODE_IMAGE).size() - 72), 32u);
    EXPECT_EQ(logic.size() - (ResourceBytes(IDR_LOGIC_IMAGE_0804).size() - 72), 40u);
    EXPECT_EQ(run.system.Mixer().GetCodeFlash(), code);
    EXPECT_EQ(run.system.Mixer().GetLogicFlash(), logic);
    EXPECT_EQ(run.system.Mixer().GetMixerProductId(), 0x0801);
    EXPECT_TRUE(run.system.Mixer().IsMixerPresent());

    // 5 and 10 for erase and preparation; 10 to 64 writing and 65 to 94 verifying the code; 100;
    // 150 to 166 and 167 to 182 for the logic image; the page shows half.
    EXPECT_EQ(run.Positions(), Join({{2}, Range(5, 47), {50}, Range(75, 91)}));
    EXPECT_EQ(FinishTitle(run), "Firmware Update Complete");
}

TEST(Update, AMixerAlreadyInUpdateModeGetsNoEfwu) {
    UpdateRun run(Starting(sim::MixerStart::UpdateAlt));
    EXPECT_EQ(run.Run("-quiet"), 0);
    ASSERT_FALSE(run.Commands().empty());
    EXPECT_EQ(run.Commands().front(), "ERFW");
}

TEST(Update, QuietWithoutAMixerAsksNothingAndSendsNothing) {
    UpdateRun run(Starting(sim::MixerStart::Absent));
    EXPECT_EQ(run.Run("-quiet"), ERROR_BAD_UNIT);
    EXPECT_TRUE(run.Commands().empty());
    EXPECT_TRUE(run.wizard.view.Events(Kind::MessageBoxShown).empty());
    EXPECT_EQ(FinishTitle(run), "Firmware Update Failed");
}

TEST(Update, WithoutQuietTheMissingMixerWaitsForTheUsersAnswer) {
    UpdateRun run(Starting(sim::MixerStart::Absent));
    run.wizard.view.Script({Press::Next, Press::Ok, Press::Finish});
    EXPECT_EQ(run.Run(""), ERROR_BAD_UNIT);
    const auto boxes = run.wizard.view.Events(Kind::MessageBoxShown);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].sheet.messageBox->text,
              "There does not appear to be a Vantor connected to this computer.");
    EXPECT_EQ(run.wizard.view.Waits(), 3);
}

TEST(Update, ADamagedCodeImageSendsTheMixerNothingButBoot) {
    std::vector<BYTE> damaged = ResourceBytes(IDR_CODE_IMAGE);
    damaged.back() ^= 0x01;  // the payload's CRC no longer holds
    ImageOverride override(IDR_CODE_IMAGE, &damaged);
    for (const bool quiet : {true, false}) {
        UpdateRun run;
        run.wizard.view.Script({Press::Next, Press::Ok, Press::Finish});
        EXPECT_EQ(run.Run(quiet ? "-quiet" : ""), ERROR_BAD_FORMAT);
        EXPECT_EQ(run.Commands(), (Strings{"EFWU", "BOOT"}));
        EXPECT_TRUE(run.system.Mixer().GetCodeFlash().empty());
        const auto boxes = run.wizard.view.Events(Kind::MessageBoxShown);
        ASSERT_EQ(boxes.size(), quiet ? 0u : 1u);
        if (!quiet) {
            EXPECT_EQ(boxes[0].sheet.messageBox->text,
                      "The firmware update image is incorrect or damaged.");
            EXPECT_EQ(boxes[0].sheet.messageBox->flags,
                      static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        }
    }
}

TEST(Update, UnderTheFirstUpdateIdentityTheShippedImagesUpdateOnlyTheCode) {
    UpdateRun run(Starting(sim::MixerStart::Update));
    EXPECT_EQ(run.Run("-quiet"), 0);
    EXPECT_EQ(run.Commands(), (Strings{"ERFW", "BLFW", "WRFW", "WRFI", "VFFW", "VFFI", "BOOT"}));
    EXPECT_EQ(run.LastPosition(), 50);
}

TEST(Update, ALogicImageForTheFirstUpdateIdentityIsWrittenTwiceAndBackedUp) {
    const std::vector<BYTE> logic = ResourceBytes(IDR_LOGIC_IMAGE_0804);
    ImageOverride override(IDR_LOGIC_IMAGE_0800, &logic);
    UpdateRun run(Starting(sim::MixerStart::Update));
    EXPECT_EQ(run.Run("-quiet"), 0);
    const Strings pass{"WRFP", "WFPI", "VFFP", "VFPI", "BKFP"};
    Strings expected{"ERFW", "BLFW", "WRFW", "WRFI", "VFFW", "VFFI"};
    expected.insert(expected.end(), pass.begin(), pass.end());
    expected.insert(expected.end(), pass.begin(), pass.end());
    expected.push_back("BOOT");
    EXPECT_EQ(run.Commands(), expected);
    EXPECT_EQ(run.Blocks(), 2 * kCodeBlocks + 4 * kLogicBlocks);
    EXPECT_EQ(run.system.Mixer().GetLogicFlash(), ExpectedFlash(IDR_LOGIC_IMAGE_0804));
    // Each pass: 100 + 50k to 116 + 50k writing, 117 + 50k to 132 + 50k verifying, a step per
    // backup cycle from 134 + 50k, then 150 + 50k.
    const std::vector<int> positions = run.Positions();
    EXPECT_EQ(positions.back(), 100);
    EXPECT_NE(std::find(positions.begin(), positions.end(), 67), positions.end());
    EXPECT_NE(std::find(positions.begin(), positions.end(), 92), positions.end());
}

TEST(Update, TheBackupProgressStopsAfterSixteenCycles) {
    const std::vector<BYTE> logic = ResourceBytes(IDR_LOGIC_IMAGE_0804);
    ImageOverride override(IDR_LOGIC_IMAGE_0800, &logic);
    sim::SimConfig config = Starting(sim::MixerStart::Update);
    config.faults.commands.push_back({"BKFP", Fault::Busy, 40, 0});
    UpdateRun run(config);
    EXPECT_EQ(run.Run("-quiet"), 0);
    // 134 to 149 in the first backup's first 16 cycles, nothing more until 150.
    const std::vector<int> positions = run.Positions();
    const auto first = std::find(positions.begin(), positions.end(), 66);
    ASSERT_NE(first, positions.end());
    EXPECT_EQ(std::vector<int>(first, first + 10), Join({{66}, Range(67, 74), {75}}));
}

// One exchange failing one way, and the error the outcome then carries.
struct ExchangeFailure {
    const char* command;
    Fault fault;
    DWORD error;
};

TEST(Update, EveryExchangeFailingEachWayRecordsItsError) {
    const DWORD generic = ERROR_GEN_FAILURE;
    const DWORD wire = sim::kTransferError;
    // Erase and preparation failures are the device's failure whatever their way; a closing
    // command's poll failure too; everything else keeps the reason the failing call left, and a
    // wrong status, which leaves none, is a device failure as well.
    const ExchangeFailure failures[] = {
        {"ERFW", Fault::SendFails, generic},       {"ERFW", Fault::StatusReadsFail, generic},
        {"ERFW", Fault::WrongStatus, generic},     {"BLFW", Fault::SendFails, generic},
        {"BLFW", Fault::StatusReadsFail, generic}, {"BLFW", Fault::WrongStatus, generic},
        {"WRFW", Fault::SendFails, wire},          {"WRFW", Fault::StatusReadsFail, wire},
        {"WRFW", Fault::WrongStatus, generic},     {"WRFI", Fault::SendFails, wire},
        {"WRFI", Fault::StatusReadsFail, generic}, {"WRFI", Fault::WrongStatus, generic},
        {"VFFW", Fault::SendFails, wire},          {"VFFW", Fault::StatusReadsFail, wire},
        {"VFFW", Fault::WrongStatus, generic},     {"VFFI", Fault::SendFails, wire},
        {"VFFI", Fault::StatusReadsFail, generic}, {"VFFI", Fault::WrongStatus, generic},
        {"ERFP", Fault::SendFails, generic},       {"ERFP", Fault::StatusReadsFail, generic},
        {"ERFP", Fault::WrongStatus, generic},     {"WRFP", Fault::SendFails, wire},
        {"WRFP", Fault::StatusReadsFail, wire},    {"WRFP", Fault::WrongStatus, generic},
        {"WFPI", Fault::SendFails, wire},          {"WFPI", Fault::StatusReadsFail, generic},
        {"WFPI", Fault::WrongStatus, generic},     {"VFFP", Fault::SendFails, wire},
        {"VFFP", Fault::StatusReadsFail, wire},    {"VFFP", Fault::WrongStatus, generic},
        {"VFPI", Fault::SendFails, wire},          {"VFPI", Fault::StatusReadsFail, generic},
        {"VFPI", Fault::WrongStatus, generic},
    };
    for (const ExchangeFailure& failure : failures) {
        sim::CommandFault fault{failure.command, failure.fault, 0, 0};
        // The accepted status is 0 for the commands that open a pass and 4 for every other.
        const std::string code = failure.command;
        const bool opensPass = code == "WRFW" || code == "VFFW" || code == "WRFP" || code == "VFFP";
        fault.status = opensPass ? 4 : 0;
        sim::SimConfig config;
        config.faults.commands.push_back(fault);
        UpdateRun run(config);
        const std::string name = code + " " + std::to_string(static_cast<int>(failure.fault));
        EXPECT_EQ(run.Run("-quiet"), static_cast<int>(failure.error)) << name;
        ASSERT_FALSE(run.Commands().empty()) << name;
        EXPECT_EQ(run.Commands().back(), "BOOT") << name;  // the closing always runs
        EXPECT_EQ(FinishTitle(run), "Firmware Update Failed") << name;
        if (code == "ERFW") {
            EXPECT_EQ(run.Positions(), std::vector<int>{2}) << name;  // 5 whatever the result
        } else if (code == "BLFW") {
            EXPECT_EQ(run.Positions(), (std::vector<int>{2, 5})) << name;
        } else if (code == "ERFP") {
            // The marquee stops whatever the result.
            const portable::SheetView last = run.wizard.LastStateOf(IDD_INSTALLING);
            EXPECT_FALSE(last.page.Control(IDC_PROGRESS)->marquee) << name;
        }
    }
}

// A wrong status leaves no error of its own (a device failure, above); when the closing "BOOT"
// cannot be sent either, the error it left is the one stored.
TEST(Update, AFailureWithoutAnErrorStoresTheOneTheClosingLeft) {
    sim::SimConfig config;
    config.faults.commands.push_back({"WRFI", Fault::WrongStatus, 0, 3});
    config.faults.commands.push_back({"BOOT", Fault::SendFails, 0, 0});
    UpdateRun run(config);
    EXPECT_EQ(run.Run("-quiet"), static_cast<int>(sim::kTransferError));
}

TEST(Update, ABackupFailingEachWayRecordsItsError) {
    const std::vector<BYTE> logic = ResourceBytes(IDR_LOGIC_IMAGE_0804);
    ImageOverride override(IDR_LOGIC_IMAGE_0800, &logic);
    const ExchangeFailure failures[] = {
        {"BKFP", Fault::SendFails, sim::kTransferError},
        {"BKFP", Fault::StatusReadsFail, ERROR_GEN_FAILURE},
        {"BKFP", Fault::WrongStatus, ERROR_GEN_FAILURE},
    };
    for (const ExchangeFailure& failure : failures) {
        sim::SimConfig config = Starting(sim::MixerStart::Update);
        config.faults.commands.push_back({failure.command, failure.fault, 0, 0});
        UpdateRun run(config);
        EXPECT_EQ(run.Run("-quiet"), static_cast<int>(failure.error))
            << static_cast<int>(failure.fault);
        EXPECT_EQ(run.Commands().back(), "BOOT");
    }
}

TEST(Update, AFailingBlockRecordsTheReasonItsTransferLeft) {
    sim::SimConfig config;
    config.faults.failingBlock = 1000;
    UpdateRun run(config);
    EXPECT_EQ(run.Run("-quiet"), static_cast<int>(sim::kTransferError));
    EXPECT_EQ(run.Blocks(), 1000u);
    EXPECT_EQ(run.Commands().back(), "BOOT");
}

// Pulled out as the thousandth block goes on the wire: the mixer leaves at once, that block's
// transfer is the first to find it gone, and its error is the run's.
TEST(Update, AnUnplugAtABlockEndsTheRunWithThatBlocksError) {
    sim::SimConfig config;
    config.faults.unplugAtBlock = 1000;
    UpdateRun run(config);
    EXPECT_EQ(run.Run("-quiet"), ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(run.Blocks(), 1000u);
    const Strings transcript = run.system.Mixer().GetTranscript();
    const auto unplug = std::find(transcript.begin(), transcript.end(), "unplug 0CA8:0804");
    ASSERT_NE(unplug, transcript.end());
    ASSERT_NE(unplug + 1, transcript.end());
    EXPECT_EQ(*(unplug + 1), "set F1 59940 failed 1167");
    EXPECT_FALSE(run.system.Mixer().IsMixerPresent());
}

TEST(Update, AfterAnUnplugAtAnyPointASecondRunFinishesTheUpdate) {
    for (unsigned transfers : {3u, 7u, 4000u, 20000u, 50000u}) {
        sim::SimConfig config;
        config.faults.unplugAfterTransfers = transfers;
        SimulatedSystem system(config);
        {
            WizardHarness first;
            EXPECT_NE(first.Run("-quiet"), 0) << transfers;
        }
        system.Mixer().Replug();
        const std::size_t before = system.Mixer().GetTranscript().size();
        WizardHarness second;
        EXPECT_EQ(second.Run("-quiet"), 0) << transfers;
        const std::vector<std::string> transcript = system.Mixer().GetTranscript();
        // Left in update mode, the mixer is found there: no "EFWU".
        EXPECT_EQ(std::count(transcript.begin() + static_cast<std::ptrdiff_t>(before),
                             transcript.end(), "set F0 EFWU"),
                  0)
            << transfers;
        EXPECT_EQ(system.Mixer().GetMixerProductId(), 0x0801) << transfers;
    }
}

}  // namespace
