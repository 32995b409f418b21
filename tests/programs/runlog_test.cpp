// setup-sim's run log as support reads it: a failed update event by event on the virtual clock, the
// transfers' level holding the same events and every transfer, and a log that cannot be written
// told once while the run goes on exactly as without it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "diagnostics/logrecords.h"
#include "tests/programs/shellrun.h"

namespace {

ShellRun RunSetupSim(const std::string& arguments) {
    return RunInShell(std::string(SETUP_SIM_PATH) + " --fast -quiet " + arguments +
                      " </dev/null 2>&1");
}

std::string LogPath(const char* name) {
    return ::testing::TempDir() + "run log " + name + ".txt";  // a space, as users' paths have
}

TEST(SetupSimLog, AFailedUpdateIsLoggedEventByEvent) {
    const std::string path = LogPath("failed");
    const ShellRun run = RunSetupSim("--fail-block=3000 -usbtest \"--log=" + path + "\"");
    ASSERT_EQ(run.status, 255);
    const std::vector<std::string> log = ReadLines(path);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0].rfind("0 program setup-sim 1.0.0 (commit ", 0), 0u) << log[0];
    EXPECT_EQ(log[1].rfind("0 system Linux ", 0), 0u) << log[1];
    EXPECT_EQ(log[2], "0 command-line -quiet -usbtest -log=\"" + path + "\"");
    const std::string counts = " failed-reads=0 failed-sends=";
    const std::string app = "version=2.14 serial=\"VT24A0117\" path=\\\\?\\hid#vid_0ca8&pid_0801";
    const std::string update =
        "version=1.02 serial=\"VT24A0117\" path=\\\\?\\hid#vid_0ca8&pid_0804";
    const std::string guid = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    const std::string failed =
        "1117 The request failed because of an error on the device's connection.";
    const std::vector<std::string> expected = {
        "0 page welcome",
        "0 button Next on welcome",
        "0 page update",
        "0 found vendor=0CA8 product=0801 " + app + "&mi_00#8&1f2e3d4c&1&3" + guid,
        "8001 command EFWU took=1ms transfers=1 blocks=0 status-reads=0 busy=0" + counts +
            "0 status=none",
        "8001 found vendor=0CA8 product=0804 " + update + "&mi_00#8&1f2e3d4c&2&3" + guid,
        "8001 image code 110 accepted, 156400 bytes",
        "8252 command ERFW took=251ms transfers=251 blocks=0 status-reads=250 busy=249" + counts +
            "0 status=00000004",
        "8254 command BLFW took=2ms transfers=2 blocks=0 status-reads=1 busy=0" + counts +
            "0 status=00000004",
        "13468 command WRFW took=5214ms transfers=5214 blocks=2606 status-reads=2607 busy=0" +
            counts + "0 status=00000004",
        "13489 command WRFI took=21ms transfers=21 blocks=0 status-reads=20 busy=19" + counts +
            "0 status=00000004",
        // The 3,000th block, the 394th of the verify pass, fails on its way out.
        "14278 failure " + failed,
        "14278 command VFFW took=789ms transfers=789 blocks=394 status-reads=394 busy=0" + counts +
            "1 status=00000004",
        "14279 command BOOT took=1ms transfers=1 blocks=0 status-reads=0 busy=0" + counts +
            "0 status=none",
        "24279 looking for the restarted mixer",
        // Back from "BOOT" still in update mode, with the version it answers there.
        "24279 found vendor=0CA8 product=0804 " + update + "&mi_00#8&1f2e3d4c&3&3" + guid,
        "24279 outcome " + failed,
        "24279 button Next on update",
        "24279 page usb-test",
        "24279 button Next on usb-test",
        "24279 page finish",
        "24279 button Finish on finish",
        "24279 exit-code " + failed,
    };
    EXPECT_EQ(std::vector<std::string>(log.begin() + 3, log.end()), expected);
}

TEST(SetupSimLog, TheTransfersLevelAddsEveryTransferToTheSameEvents) {
    const std::string events = LogPath("events");
    const std::string transfers = LogPath("transfers");
    ASSERT_EQ(RunSetupSim("--busy=VFFI:2 \"--log=" + events + "\"").status, 0);
    ASSERT_EQ(RunSetupSim("--busy=VFFI:2 \"--log-transfers=" + transfers + "\"").status, 0);
    std::vector<std::string> others;
    unsigned counted = 0;
    unsigned logged = 0;
    unsigned busyAnswers = 0;
    unsigned busyCounted = 0;
    for (const std::string& line : ReadLines(transfers)) {
        std::uint32_t ms = 0;
        std::string event;
        ASSERT_TRUE(runlog::SplitLine(line, &ms, &event)) << line;
        runlog::TransferRecord transfer;
        if (runlog::ParseTransfer(event, &transfer)) {
            ++logged;
            busyAnswers += !transfer.set && transfer.bytes.size() == 65 && transfer.bytes[4] == 1;
            continue;
        }
        if (const std::size_t at = event.find(" transfers="); at != std::string::npos) {
            counted += static_cast<unsigned>(std::stoul(event.substr(at + 11)));
            busyCounted +=
                static_cast<unsigned>(std::stoul(event.substr(event.find(" busy=") + 6)));
        }
        others.push_back(line);
    }
    std::vector<std::string> plain = ReadLines(events);
    ASSERT_GT(plain.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(others.begin() + 3, others.end()),
              std::vector<std::string>(plain.begin() + 3, plain.end()));
    // Each command's counts are its transfers in the log, and "VFFI" answered busy twice more.
    EXPECT_EQ(logged, counted);
    EXPECT_EQ(logged, 57130u);
    EXPECT_EQ(busyAnswers, busyCounted);
    EXPECT_EQ(busyAnswers, 1526u);
}

// /dev/full takes the file and refuses the first line; a missing folder refuses the file.
TEST(SetupSimLog, ALogThatCannotBeWrittenIsToldOnceAndChangesNothing) {
    const std::string missing = ::testing::TempDir() + "no such folder/run.log";
    const ShellRun plain = RunSetupSim("--fail-block=40");
    for (const auto& [path, reason] :
         {std::pair{std::string("/dev/full"), std::string("No space left on device")},
          std::pair{missing, std::string("No such file or directory")}}) {
        const ShellRun run = RunSetupSim("--fail-block=40 \"--log=" + path + "\"");
        EXPECT_EQ(run.status, plain.status) << path;
        std::vector<std::string> lines = run.lines;
        const std::string told = "setup-sim: the log cannot be written (" + path + ": " + reason +
                                 "); the run goes on without it";
        ASSERT_EQ(std::count(lines.begin(), lines.end(), told), 1) << path;
        lines.erase(std::find(lines.begin(), lines.end(), told));
        EXPECT_EQ(lines, plain.lines) << path;
    }
}

}  // namespace
