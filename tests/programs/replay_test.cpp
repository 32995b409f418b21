// A run that setup-sim recorded, replayed as the mixer by setup-sim itself: the unchanged program
// ends the same way, transfer by transfer; a changed command is named with both sides; a log that
// cannot be replayed is refused before the wizard starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "diagnostics/logrecords.h"
#include "tests/programs/shellrun.h"

namespace {

struct Finished {
    std::vector<std::string> output;  // standard output
    std::vector<std::string> errors;  // standard error
    int status = -1;
};

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "replay " + name;  // a space, as users' paths have
}

Finished RunSetupSim(const std::string& arguments) {
    // A file of the test's own, as tests run side by side ("Test/Param" names no folder).
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(test.begin(), test.end(), '/', ' ');
    const std::string errors = TempPath(test + " stderr.txt");
    const ShellRun run = RunInShell(std::string(SETUP_SIM_PATH) + " --fast -quiet " + arguments +
                                    " </dev/null 2>\"" + errors + "\"");
    return {run.lines, ReadLines(errors), run.status};
}

// A log's events without their times, but for the command line, which names the log itself.
std::vector<std::string> Events(const std::string& path) {
    std::vector<std::string> events;
    for (const std::string& line : ReadLines(path)) {
        std::uint32_t ms = 0;
        std::string event;
        EXPECT_TRUE(runlog::SplitLine(line, &ms, &event)) << line;
        if (event.rfind("command-line ", 0) != 0) {
            events.push_back(event);
        }
    }
    return events;
}

std::size_t TransferCount(const std::vector<std::string>& events) {
    std::size_t count = 0;
    for (const std::string& event : events) {
        count += event.rfind("transfer ", 0) == 0 ? 1 : 0;
    }
    return count;
}

struct RecordedRun {
    const char* name;
    const char* faults;  // the simulator's, for the recording only
    const char* wizard;  // the wizard's switches, for both runs
    const char* exitCode;
};

void PrintTo(const RecordedRun& run, std::ostream* out) {
    *out << run.name;
}

class ReplayOfARecordedRun : public ::testing::TestWithParam<RecordedRun> {};

TEST_P(ReplayOfARecordedRun, EndsAsTheRecordedRunDidTransferByTransfer) {
    const RecordedRun& run = GetParam();
    const std::string recording = TempPath(std::string(run.name) + " recorded.log");
    const std::string replayed = TempPath(std::string(run.name) + " replayed.log");
    const Finished recorded = RunSetupSim(std::string(run.faults) + " " + run.wizard +
                                          " \"--log-transfers=" + recording + "\"");
    ASSERT_FALSE(recorded.output.empty());
    EXPECT_EQ(recorded.output.back(), run.exitCode);

    const Finished replay = RunSetupSim("\"--replay=" + recording + "\" " + run.wizard +
                                        " \"--log-transfers=" + replayed + "\"");
    // Nothing of the replay's own: standard error says what the recorded run's said.
    EXPECT_EQ(replay.errors, recorded.errors);
    EXPECT_EQ(replay.status, recorded.status);
    EXPECT_EQ(replay.output, recorded.output);
    const std::vector<std::string> events = Events(recording);
    EXPECT_GT(TransferCount(events), 0u);
    EXPECT_EQ(Events(replayed), events);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReplayOfARecordedRun,
    ::testing::Values(
        // The whole update: the flash the replayed blocks wrote lets "BOOT" start the firmware.
        RecordedRun{"BusyUpdate", "--busy=ERFW:3 --busy=VFFI:2", "", "exit code: 0 (0x00000000)"},
        RecordedRun{"WrongStatus", "--wrong-status=ERFW:2", "", "exit code: 31 (0x0000001F)"},
        RecordedRun{"BusyThenFailingBlock", "--busy=ERFW:3 --fail-block=10", "",
                    "exit code: 1117 (0x0000045D)"},
        RecordedRun{"StatusReadsFail", "--status-fails=ERFW:2 --fail-block=40", "",
                    "exit code: 1117 (0x0000045D)"},
        RecordedRun{"Unplug", "--unplug-at-block=5", "", "exit code: 1167 (0x0000048F)"},
        RecordedRun{"EfwuIgnored", "--ignore-efwu", "", "exit code: 20 (0x00000014)"},
        RecordedRun{"UpdateMode", "--mixer=update --fail-block=2", "",
                    "exit code: 1117 (0x0000045D)"},
        RecordedRun{"PortTests", "--dante=10,10", "-usbtestonly -dantetestonly",
                    "exit code: 0 (0x00000000)"}),
    [](const ::testing::TestParamInfo<RecordedRun>& run) { return run.param.name; });

// The recorded run with one of its commands changed, as a program that sends another one would
// find it.
TEST(ReplayOfAChangedRecording, NamesTheTransferThatDiffersWithBothSides) {
    const std::string recording = TempPath("changed.log");
    const Finished recorded =
        RunSetupSim("--fail-block=2700 \"--log-transfers=" + recording + "\"");
    ASSERT_EQ(recorded.status, 255);
    // The first "VFFW" becomes "VFFX".
    std::vector<std::string> lines = ReadLines(recording);
    std::size_t transfers = 0;
    std::size_t changed = 0;
    for (std::string& line : lines) {
        transfers += line.find(" transfer ") != std::string::npos ? 1 : 0;
        const std::size_t at = line.find(" transfer set F0 0 F056464657");
        if (at != std::string::npos && changed == 0) {
            line[at + 28] = '8';
            changed = transfers;
        }
    }
    ASSERT_NE(changed, 0u);
    std::ofstream out(recording);
    for (const std::string& line : lines) {
        out << line << "\n";
    }
    out.close();

    const std::string replayed = TempPath("changed replayed.log");
    const Finished replay =
        RunSetupSim("\"--replay=" + recording + "\" \"--log-transfers=" + replayed + "\"");
    EXPECT_EQ(replay.errors,
              (std::vector<std::string>{
                  "setup-sim: Firmware Update Failed: A device connected to the computer is not "
                  "working properly.",
                  "replay: transfer " + std::to_string(changed) +
                      " differs: recorded set F0 \"VFFX\" -> 0, asked set F0 \"VFFW\""}));
    ASSERT_FALSE(replay.output.empty());
    EXPECT_EQ(replay.output.back(), "exit code: 31 (0x0000001F)");
    EXPECT_EQ(replay.status, 31);
    // Up to the changed command, the replay asked what the recording holds.
    const std::vector<std::string> asked = Events(replayed);
    const std::vector<std::string> held = Events(recording);
    std::size_t same = 0;
    while (same < asked.size() && same < held.size() && asked[same] == held[same]) {
        ++same;
    }
    EXPECT_EQ(TransferCount({held.begin(), held.begin() + static_cast<std::ptrdiff_t>(same)}),
              changed - 1);
}

TEST(ReplayOfABadLog, IsRefusedBeforeTheWizardStarts) {
    const std::string events = TempPath("events only.log");
    ASSERT_EQ(RunSetupSim("--fail-block=3 \"--log=" + events + "\"").status, 255);
    const std::string damaged = TempPath("damaged.log");
    std::ofstream(damaged) << "0 program setup-sim\n12 transfer set F0 0 F0455257\n"
                           << "13 transfer get F0 0 F0000\n";
    const struct {
        std::string log;
        std::string error;
    } cases[] = {
        {TempPath("missing.log"),
         "cannot read the log " + TempPath("missing.log") + ": No such file or directory"},
        {events, events + " holds no transfers: record it with --log-transfers"},
        {damaged, damaged + ", line 3: not a whole transfer"},
    };
    for (const auto& c : cases) {
        const Finished replay = RunSetupSim("\"--replay=" + c.log + "\"");
        EXPECT_EQ(replay.status, 2);
        EXPECT_EQ(replay.output, std::vector<std::string>{});
        EXPECT_EQ(replay.errors,
                  (std::vector<std::string>{"setup-sim: " + c.error,
                                            "(setup-sim --help lists the options)"}));
    }
}

}  // namespace
