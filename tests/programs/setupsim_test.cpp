// setup-sim as a person or a script meets it off a terminal: the wizard's lines on standard
// output, presses from standard input, the exit code line and the process status.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "firmware/imageacceptance.h"
#include "firmware/imagebuilder.h"
#include "tests/programs/shellrun.h"

namespace {

using Finished = ShellRun;

Finished RunSetupSim(const std::string& arguments, const std::string& input) {
    // A file of the test's own: tests run side by side.
    const std::string inputFile = ::testing::TempDir() + "setupsim_" +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                  ".txt";
    std::ofstream(inputFile) << input;
    // On the virtual clock: the update's fixed waits and wire time cost nothing.
    const std::string command =
        std::string(SETUP_SIM_PATH) + " --fast " + arguments + " <" + inputFile + " 2>&1";
    return RunInShell(command);
}

// setup-sim running on the real clock, its standard input a pipe that stays open (a person who
// presses nothing), its lines read as they come, and signals sent to it as a person sends them.
class RunningSetupSim {
public:
    // `ignored`: a signal the caller has set to be ignored, as nohup does SIGHUP, or 0.
    explicit RunningSetupSim(const std::vector<std::string>& arguments, int ignored = 0) {
        int in[2];
        int out[2];
        if (pipe(in) != 0 || pipe(out) != 0) {
            return;
        }
        m_pid = fork();
        if (m_pid == 0) {
            if (ignored != 0) {
                signal(ignored, SIG_IGN);
            }
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(out[1], 2);
            close(in[1]);
            close(out[0]);
            std::vector<char*> argv{const_cast<char*>(SETUP_SIM_PATH)};
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            execv(SETUP_SIM_PATH, argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        m_input = in[1];
        m_output = out[0];
    }
    ~RunningSetupSim() {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_input);
        close(m_output);
    }

    // Reads lines until one starts with `start`; false when the output ends or 60 s pass first.
    bool WaitForLine(const std::string& start) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (;;) {
            for (; m_seen < lines.size(); ++m_seen) {
                if (lines[m_seen].rfind(start, 0) == 0) {
                    ++m_seen;
                    return true;
                }
            }
            if (std::chrono::steady_clock::now() >= deadline || !ReadMore(deadline)) {
                return false;
            }
        }
    }
    void Signal(int sig) { kill(m_pid, sig); }
    // Reads to the end and returns the exit status, -1 if it did not exit by itself.
    int Finish() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (ReadMore(deadline)) {
        }
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_ended = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::vector<std::string> lines;

private:
    bool ReadMore(std::chrono::steady_clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{m_output, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char buffer[4096];
        const ssize_t n = read(m_output, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        m_partial.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = m_partial.find('\n')) != std::string::npos;) {
            lines.push_back(m_partial.substr(0, end));
            m_partial.erase(0, end + 1);
        }
        return true;
    }

    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    bool m_ended = false;
    std::size_t m_seen = 0;
    std::string m_partial;
};

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
    // The finish page's texts are its whole message, each a line of its own.
    EXPECT_NE(std::find(run.lines.begin(), run.lines.end(),
                        "finish: The Vantor firmware was successfully updated."),
              run.lines.end());
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
        ASSERT_GE(run.lines.size(), 2u) << wrong;
        EXPECT_EQ(run.lines[1], "(setup-sim --help lists the options)") << wrong;
        EXPECT_TRUE(Pages(run).empty()) << wrong;
    }
}

TEST(SetupSim, TheHelpSaysWhatEachWizardSwitchDoes) {
    const Finished run = RunSetupSim("--help", "");
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> expected = {
        "Wizard switches (as setup.exe takes them):",
        "  -quiet              no questions; Next and Finish are pressed by themselves",
        "  -usbtest            test the USB audio port after the update",
        "  -dantetest          test the Dante serial port after the update",
        "  -usbtestonly        only the USB audio port test",
        "  -dantetestonly      only the Dante serial port test",
        "  -log=PATH           write a log of the run to PATH, for support",
        "  -logtransfers=PATH  the same log with every transfer, which a replay can answer",
        "",
    };
    ASSERT_GE(run.lines.size(), 2 + expected.size());
    EXPECT_EQ(std::vector<std::string>(run.lines.begin() + 2,
                                       run.lines.begin() + 2 + static_cast<long>(expected.size())),
              expected);
}

// --images: each image's role and the update's verdict on it, or why it is not there; the lines
// between them are the header report, pinned below for the code image.
std::vector<std::string> ImageVerdicts(const Finished& finished) {
    std::vector<std::string> verdicts;
    for (const std::string& line : finished.lines) {
        if (line.rfind("resource ", 0) == 0 || line.rfind("the update's acceptance", 0) == 0 ||
            line.rfind("not in this program", 0) == 0) {
            verdicts.push_back(line);
        }
    }
    return verdicts;
}

const std::string kCodeRole = "resource 110: code image";
const std::string k0800Role = "resource 111: logic image for update identity 0x0800";
const std::string k0804Role = "resource 112: logic image for update identity 0x0804";
const std::string kAccepted = "the update's acceptance check: accepted";
const std::string kNoLogic = "not in this program: such a mixer keeps the logic it has";

TEST(SetupSim, ImagesShowsEachCarriedImageAndTheUpdatesVerdict) {
    const Finished run = RunSetupSim("--images", "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(ImageVerdicts(run), (std::vector<std::string>{kCodeRole, kAccepted, k0800Role,
                                                            kNoLogic, k0804Role, kAccepted}));
    // The code image as the build makes it, the time stamp as a date; fwimage info and RELEASE.md
    // give the same lines.
    const std::vector<std::string> codeImage = {
        kCodeRole,
        "image size: 156400 bytes",
        "header length: 72",
        "entries (offset, tag, value):",
        "       8  crc  0xFBDE420B (4225647115)",
        "      16  tim  0x63B88A9F (1673038495)  2023-01-06T20:54:55Z",
        "      24  cod  flag",
        "      28  uvp  0x0CA80801 (212338689)",
        "      36  dpi  0x000C0002 (786434)",
        "      44  str  20 bytes  \"Corvena Vantor\"",
        "header CRC: stored 0xC37C966E, computed 0xC37C966E: matches",
        "payload: 156328 bytes, CRC in crc entry 0xFBDE420B, computed 0xFBDE420B: matches",
        kAccepted,
        "",
    };
    ASSERT_GE(run.lines.size(), codeImage.size());
    EXPECT_EQ(std::vector<std::string>(run.lines.begin(),
                                       run.lines.begin() + static_cast<long>(codeImage.size())),
              codeImage);
}

// An image file with one byte changed, in the test's own temporary folder.
std::string ChangedImage(const std::string& name, std::size_t offset) {
    std::ifstream in(std::string(FIRMWARE_DIR) + "/" + name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string path = ::testing::TempDir() + "setupsim_changed_" + name;
    if (offset < bytes.size()) {
        bytes[offset] = static_cast<char>(bytes[offset] ^ 0x01);
        std::ofstream(path, std::ios::binary) << bytes;
    }
    return path;
}

// A logic image that carries no sub entry: one update identity takes it, the other refuses it.
std::string LogicImageWithoutSub() {
    CImageBuilder builder;
    builder.AddPayloadCrc();
    builder.AddFlag("lgc");
    builder.AddValue("dpi", REQUIRED_DPI);
    const std::vector<BYTE> payload(1000, 0x5A);
    std::vector<BYTE> image;
    builder.Build(payload.data(), payload.size(), &image);
    const std::string path = ::testing::TempDir() + "setupsim_logic_without_sub.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<long>(image.size()));
    return path;
}

TEST(SetupSim, ImagesNamesTheStepThatRefusesAnImage) {
    const std::string firmware = FIRMWARE_DIR;
    const std::string withoutSub = LogicImageWithoutSub();
    const struct {
        std::string options;
        int status;
        std::vector<std::string> verdicts;
    } cases[] = {
        // A changed byte of the payload: the payload CRC step refuses it.
        {"--image=110:" + ChangedImage("110.bin", 1000),
         11,
         {kCodeRole,
          "the update's acceptance check: rejected at step 7: payload CRC does not match",
          k0800Role, kNoLogic, k0804Role, kAccepted}},
        // The same logic image is a code image's refusal, and under 0x0800 needs no sub.
        {"--image=110:" + firmware + "/112.bin --image=111:" + firmware + "/112.bin",
         11,
         {kCodeRole, "the update's acceptance check: rejected at step 2: no cod entry", k0800Role,
          kAccepted, k0804Role, kAccepted}},
        // Only the logic image for 0x0804 must carry sub = 7.
        {"--image=111:" + withoutSub + " --image=112:" + withoutSub,
         11,
         {kCodeRole, kAccepted, k0800Role, kAccepted, k0804Role,
          "the update's acceptance check: rejected at step 5: sub is missing or not 7"}},
        {"--no-image=110",
         11,
         {kCodeRole, "not in this program: the update cannot run without it", k0800Role, kNoLogic,
          k0804Role, kAccepted}},
        {"--no-image=112", 0, {kCodeRole, kAccepted, k0800Role, kNoLogic, k0804Role, kNoLogic}},
    };
    for (const auto& c : cases) {
        const Finished run = RunSetupSim(c.options + " --images", "");
        EXPECT_EQ(run.status, c.status) << c.options;
        EXPECT_EQ(ImageVerdicts(run), c.verdicts) << c.options;
        EXPECT_TRUE(Pages(run).empty()) << c.options;
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

// While the update works nothing may stop it: the first interruption only warns; a second within
// five seconds ends the program, with the exit code line last and a status a shell gives a signal.
TEST(SetupSim, ASecondInterruptionEndsTheUpdateWithTheExitCodeLine) {
    for (const int sig : {SIGINT, SIGTERM}) {
        RunningSetupSim run({"-quiet"});
        ASSERT_TRUE(run.WaitForLine("busy:")) << sig;
        run.Signal(sig);
        ASSERT_TRUE(run.WaitForLine("interrupt: The wizard cannot be cancelled while it works."))
            << sig << ", its lines:\n"
            << [&run] {
                   std::string all;
                   for (const std::string& line : run.lines) {
                       all += line + "\n";
                   }
                   return all;
               }();
        // The second ends it. On a machine so busy that it came more than five seconds after the
        // first was refused, it is refused as a first again: another one follows then.
        int sent = 0;
        do {
            run.Signal(sig);
        } while (++sent < 5 && run.WaitForLine("interrupt: "));
        const int status = run.Finish();
        EXPECT_EQ(status, 128 + sig);
        ASSERT_FALSE(run.lines.empty());
        char line[64];
        std::snprintf(line, sizeof line, "exit code: %d (0x%08X)", 128 + sig, 128 + sig);
        EXPECT_EQ(run.lines.back(), line);
        // Not the finish page: the program ended in the middle.
        for (const std::string& l : run.lines) {
            EXPECT_NE(l, "closed: finish");
        }
    }
}

// What the caller set to be ignored (SIGINT in a background job of a script) stays ignored: only
// the SIGTERM reaches the wizard, is the first it refuses, and the update goes on.
TEST(SetupSim, AnInterruptionTheCallerIgnoresStaysIgnored) {
    RunningSetupSim run({"-quiet"}, SIGINT);
    ASSERT_TRUE(run.WaitForLine("busy:"));
    run.Signal(SIGINT);
    run.Signal(SIGTERM);
    ASSERT_TRUE(run.WaitForLine("interrupt: "));
    EXPECT_TRUE(run.WaitForLine("progress: "));
}

TEST(SetupSim, AnInterruptionWhereCancelIsOfferedCancels) {
    RunningSetupSim run({});
    ASSERT_TRUE(run.WaitForLine("buttons: next, cancel"));
    run.Signal(SIGINT);
    EXPECT_EQ(run.Finish(), 255);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back(), "exit code: 1223 (0x000004C7)");
    EXPECT_EQ(run.lines[run.lines.size() - 2], "closed: cancel");
}

}  // namespace
