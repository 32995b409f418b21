// The update's sequence in the detail that a person never sees but the mixer relies on: the waits
// after each restart on the virtual clock, the raw progress values the worker sends, the backup
// cycles and their bound, the closing value of the code pass, and the images it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "firmware/imagebuilder.h"
#include "resources/resource.h"
#include "tests/firmware/testimages.h"
#include "tests/stages/updaterun.h"

namespace {

using portable::Press;
using Kind = portable::ViewEvent::Kind;
using Fault = sim::CommandFault::Kind;

// The mixer's transcript with the process clock's time of each line.
class TimedTranscript : public std::streambuf {
public:
    std::vector<std::pair<DWORD, std::string>> lines;

    // The time of the first line that is `line`. (A mixer's arrival shows when a call first finds
    // it there, as the simulated system has no clock of its own.)
    DWORD TimeOf(const std::string& line) {
        for (const auto& [time, text] : lines) {
            if (text == line) {
                return time;
            }
        }
        ADD_FAILURE() << "no line \"" << line << "\"";
        return 0;
    }

protected:
    int overflow(int c) override {
        if (c == '\n') {
            lines.emplace_back(timeGetTime(), m_line);
            m_line.clear();
        } else if (c != traits_type::eof()) {
            m_line += static_cast<char>(c);
        }
        return c;
    }

private:
    std::string m_line;
};

// An update run whose transcript is timed.
struct TimedRun {
    explicit TimedRun(sim::SimConfig config) : stream(&transcript) {
        config.transcript = &stream;
        run.emplace(config);
    }
    TimedTranscript transcript;
    std::ostream stream;
    std::optional<UpdateRun> run;
};

std::vector<LONG> Values(LONG first, LONG last) {
    std::vector<LONG> values;
    for (LONG v = first; v <= last; ++v) {
        values.push_back(v);
    }
    return values;
}

// The raw values sent from the first `from` on to the end.
std::vector<LONG> From(const std::vector<LONG>& values, LONG from) {
    const auto first = std::find(values.begin(), values.end(), from);
    return std::vector<LONG>(first, values.end());
}

TEST(UpdateSequence, WaitsEightSecondsAfterEfwuAndTenAfterBoot) {
    TimedRun timed{sim::SimConfig{}};
    EXPECT_EQ(timed.run->Run("-quiet"), 0);
    TimedTranscript& t = timed.transcript;
    const DWORD efwu = t.TimeOf("set F0 EFWU");
    // Back on the bus 3 s later and installed 2.5 s after that, well within the pause; then one
    // transfer's wire time.
    EXPECT_EQ(t.TimeOf("set F0 ERFW"), efwu + 8000 + 1);
    const DWORD boot = t.TimeOf("set F0 BOOT");
    // 8 s, nothing pending by then, and 2 s for the mixer to settle.
    EXPECT_EQ(timeGetTime(), boot + 8000 + 2000);
}

TEST(UpdateSequence, WaitsForTheInstallationThatFollowsEachRestart) {
    sim::SimConfig config;
    config.timing.installationMs = 7000;  // Windows still installs when the pause ends
    TimedRun timed{config};
    EXPECT_EQ(timed.run->Run("-quiet"), 0);
    TimedTranscript& t = timed.transcript;
    const DWORD efwu = t.TimeOf("set F0 EFWU");
    // Installed at 3 s + 7 s; the wait looks every half second from the end of the pause.
    EXPECT_EQ(t.TimeOf("set F0 ERFW"), efwu + 10000 + 1);
    const DWORD boot = t.TimeOf("set F0 BOOT");
    EXPECT_EQ(timeGetTime(), boot + 10000 + 2000);
}

TEST(UpdateSequence, TheBackupCyclesAdvanceTheProgressSixteenTimes) {
    const std::vector<BYTE> logic = ResourceBytes(IDR_LOGIC_IMAGE_0804);
    ImageOverride override(IDR_LOGIC_IMAGE_0800, &logic);
    sim::SimConfig config;
    config.start = sim::MixerStart::Update;
    config.faults.commands.push_back({"BKFP", Fault::Busy, 40, 0});
    UpdateRun run(config);
    EXPECT_EQ(run.Run("-quiet"), 0);
    const std::vector<LONG> values = run.wizard.ProgressOn(IDD_INSTALLING);
    // Each pass's verify ends at 132 + 50k; then a value per cycle for 16 cycles, then 150 + 50k.
    std::vector<LONG> expected = Values(134, 149);
    expected.push_back(150);
    const std::vector<LONG> firstBackup = From(values, 134);
    ASSERT_GE(firstBackup.size(), expected.size());
    EXPECT_EQ(std::vector<LONG>(firstBackup.begin(), firstBackup.begin() + 17), expected);
    std::vector<LONG> second = Values(184, 199);
    second.push_back(200);
    EXPECT_EQ(From(values, 184), second);
}

TEST(UpdateSequence, ABackupBusyForEverEndsWithATimeout) {
    const std::vector<BYTE> logic = ResourceBytes(IDR_LOGIC_IMAGE_0804);
    ImageOverride override(IDR_LOGIC_IMAGE_0800, &logic);
    sim::SimConfig config;
    config.start = sim::MixerStart::Update;
    config.faults.commands.push_back({"BKFP", Fault::Busy, 0, 0});
    TimedRun timed{config};
    EXPECT_EQ(timed.run->Run("-quiet"), ERROR_TIMEOUT);
    const std::vector<LONG> values = timed.run->wizard.ProgressOn(IDD_INSTALLING);
    std::vector<LONG> expected = Values(134, 149);
    expected.push_back(150);
    EXPECT_EQ(From(values, 134), expected);
    // Given up after 120 s of busy cycles of 350 ms, then the closing.
    const DWORD backup = timed.transcript.TimeOf("set F0 BKFP");
    const DWORD boot = timed.transcript.TimeOf("set F0 BOOT");
    EXPECT_GE(boot - backup, 120000u);
    EXPECT_LE(boot - backup, 120000u + 350 + 100);
    EXPECT_EQ(timed.run->Commands().back(), "BOOT");
}

TEST(UpdateSequence, TheCodePassClosesAt100UnlessVffiCouldNotBeSent) {
    const std::pair<Fault, bool> cases[] = {
        {Fault::SendFails, false}, {Fault::StatusReadsFail, true}, {Fault::WrongStatus, true}};
    for (const auto& [fault, closes] : cases) {
        sim::SimConfig config;
        config.faults.commands.push_back({"VFFI", fault, 0, 0});
        UpdateRun run(config);
        EXPECT_NE(run.Run("-quiet"), 0);
        const std::vector<LONG> values = run.wizard.ProgressOn(IDD_INSTALLING);
        ASSERT_FALSE(values.empty());
        // The verify pass's last block is sent at 65 + 30 * p / size, 94 for the shipped image.
        EXPECT_EQ(values.back(), closes ? 100 : 94) << static_cast<int>(fault);
        EXPECT_EQ(run.Commands().back(), "BOOT");
    }
}

TEST(UpdateSequence, AMissingCodeImageWritesNothingAndRestartsTheMixer) {
    ImageOverride override(IDR_CODE_IMAGE, nullptr);
    UpdateRun run;
    const int exitCode = run.Run("-quiet");
    // The resource's own error, as FindResource leaves it.
    SetLastError(0);
    EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CODE_IMAGE), RT_RCDATA),
              nullptr);
    EXPECT_EQ(exitCode, static_cast<int>(GetLastError()));
    EXPECT_NE(exitCode, 0);
    EXPECT_EQ(run.Commands(), (std::vector<std::string>{"EFWU", "BOOT"}));
    EXPECT_EQ(run.Blocks(), 0u);
    EXPECT_TRUE(run.system.Mixer().GetCodeFlash().empty());
}

// A logic image for 0x0804 of the shipped shape, but with `sub` as given (none: no `sub` entry).
std::vector<BYTE> LogicImageWithSub(std::optional<DWORD> sub) {
    CImageBuilder builder;
    builder.AddPayloadCrc();
    builder.AddValue("tim", 1670880423);
    builder.AddFlag("lgc");
    if (sub) {
        builder.AddValue("sub", *sub);
    }
    builder.AddValue("dpi", 0x000C0002);
    builder.AddText(20, "Corvena Vantor");
    const std::vector<BYTE> payload = PatternPayload(6000);
    std::vector<BYTE> image;
    builder.Build(payload.data(), payload.size(), &image);
    return image;
}

TEST(UpdateSequence, ALogicImageWithoutSubSevenIsRefusedUnder0804) {
    for (const std::optional<DWORD> sub : {std::optional<DWORD>(), std::optional<DWORD>(6)}) {
        const std::vector<BYTE> logic = LogicImageWithSub(sub);
        ImageOverride override(IDR_LOGIC_IMAGE_0804, &logic);
        for (const bool quiet : {true, false}) {
            UpdateRun run;
            run.wizard.view.Script({Press::Next, Press::Ok, Press::Finish});
            EXPECT_EQ(run.Run(quiet ? "-quiet" : ""), ERROR_BAD_FORMAT);
            // The code image is written and verified; the logic image is not touched.
            EXPECT_EQ(run.Commands(), (std::vector<std::string>{"EFWU", "ERFW", "BLFW", "WRFW",
                                                                "WRFI", "VFFW", "VFFI", "BOOT"}));
            EXPECT_TRUE(run.system.Mixer().GetLogicFlash().empty());
            const auto boxes = run.wizard.view.Events(Kind::MessageBoxShown);
            ASSERT_EQ(boxes.size(), quiet ? 0u : 1u);
            if (!quiet) {
                EXPECT_EQ(boxes[0].sheet.messageBox->text,
                          "The firmware update image is incorrect or damaged.");
            }
        }
    }
}

}  // namespace
