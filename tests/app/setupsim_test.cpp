// setup-sim as a person or a script meets it off a terminal: the wizard's lines on standard
// output, presses from standard input, the exit code line and the process status.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Finished {
    std::vector<std::string> lines;
    int status;
};

Finished RunSetupSim(const std::string& arguments, const std::string& input) {
    // A file of the test's own: tests run side by side.
    const std::string inputFile = ::testing::TempDir() + "setupsim_" +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                  ".txt";
    std::ofstream(inputFile) << input;
    // On the virtual clock: the update's fixed waits and wire time cost nothing.
    const std::string command =
        std::string(SETUP_SIM_PATH) + " --fast " + arguments + " <" + inputFile + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    Finished finished{{}, -1};
    if (pipe == nullptr) {
        return finished;
    }
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        std::string line = buffer;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        finished.lines.push_back(line);
    }
    const int status = pclose(pipe);
    finished.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return finished;
}

std::vector<std::string> Pages(const Finished& finished) {
    std::vector<std::string> pages;
    for (const std::string& line : finished.lines) {
        if (line.rfind("page: ", 0) == 0) {
            pages.push_back(line.substr(6));
        }
    }
    return pages;
}

const std::string kWelcome = "Welcome to the Corvena(TM) Firmware Update Wizard";
const std::string kUpdate = "Updating Vantor Firmware";
const std::string kUsbTest = "Testing Vantor USB Port";
const std::string kDanteTest = "Testing Vantor Dante Serial Port";

TEST(SetupSim, QuietRunsTheUpdateToTheEndWithoutInput) {
    const Finished run = RunSetupSim("-quiet", "");
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back(), "exit code: 0 (0x00000000)");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Pages(run),
              (std::vector<std::string>{kWelcome, kUpdate, "Firmware Update Complete"}));
}

TEST(SetupSim, QuietWithoutAMixerEndsWithBadUnit) {
    const Finished run = RunSetupSim("--mixer=none -quiet", "");
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back(), "exit code: 20 (0x00000014)");
    EXPECT_EQ(run.status, 20);
}

TEST(SetupSim, AWrongOptionStopsBeforeTheWizard) {
    for (const char* wrong : {"--mixer=usb", "--bogus", "--image=113:x.bin", "--busy=ERF",
                              "--fail-block=0", "--image=110:/nonexistent/image.bin"}) {
        const Finished run = RunSetupSim(wrong, "");
        EXPECT_EQ(run.status, 2) << wrong;
        ASSERT_FALSE(run.lines.empty()) << wrong;
        EXPECT_EQ(run.lines.front().rfind("setup-sim: ", 0), 0u) << run.lines.front();
        EXPECT_TRUE(Pages(run).empty()) << wrong;
    }
}

TEST(SetupSim, EverySwitchRowShowsItsPages) {
    struct Case {
        const char* switches;
        std::vector<std::string> middle;
    } const cases[] = {
        {"-usbtest -dantetest", {kUpdate, kUsbTest, kDanteTest}},
        {"-usbtestonly", {kUsbTest}},
        {"-dantetestonly", {kDanteTest}},
        {"-dantetestonly -usbtest", {kUsbTest, kDanteTest}},
    };
    for (const Case& c : cases) {
        const Finished run = RunSetupSim(std::string("-quiet ") + c.switches, "");
        std::vector<std::string> pages = Pages(run);
        ASSERT_GE(pages.size(), 2u) << c.switches;
        EXPECT_EQ(pages.front(), kWelcome) << c.switches;
        EXPECT_EQ(std::vector<std::string>(pages.begin() + 1, pages.end() - 1), c.middle)
            << c.switches;
    }
}

TEST(SetupSim, EndOfInputOnTheWelcomePageCancels) {
    const Finished run = RunSetupSim("", "");
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back(), "exit code: 1223 (0x000004C7)");
    EXPECT_EQ(run.status, 255);  // no POSIX status can hold 1223, and none may read as success
    EXPECT_EQ(Pages(run), std::vector<std::string>{kWelcome});
}

TEST(SetupSim, APersonsPressesComeFromStandardInput) {
    const Finished run = RunSetupSim("", "next\nok\nfinish\n");
    bool unavailable = false;
    bool closed = false;
    for (const std::string& line : run.lines) {
        unavailable = unavailable || line == "input: \"ok\" is not available now";
        closed = closed || line == "closed: finish";
    }
    EXPECT_TRUE(unavailable);
    EXPECT_TRUE(closed);
    EXPECT_EQ(run.status, 0);
}

}  // namespace
