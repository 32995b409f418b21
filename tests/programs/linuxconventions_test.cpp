// What the Linux programs owe the shell they run in: a word they do not know is refused before
// anything runs; -h is --help; a failure's reason also goes to standard error, once; NO_COLOR and
// TERM=dumb on a terminal keep the attributes, and for a dumb one every escape, out of the output.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/programs/shellrun.h"

namespace {

struct Program {
    const char* name;
    const char* path;
};
const Program kPrograms[] = {{"setup-sim", SETUP_SIM_PATH}, {"vantor-setup", VANTOR_SETUP_PATH}};

// A file of the test's own: tests run side by side.
std::string TestFile(const std::string& what) {
    return ::testing::TempDir() + "conventions_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + what;
}

// A program run with no input: its standard output's lines, its standard error's, its status.
struct Separated {
    ShellRun out;
    std::vector<std::string> err;
};
Separated RunQuietly(const std::string& path, const std::string& arguments) {
    const std::string err = TestFile("stderr");
    Separated run;
    run.out = RunInShell(path + " " + arguments + " </dev/null 2>" + err);
    run.err = ReadLines(err);
    return run;
}

TEST(LinuxConventions, AWordTheWizardDoesNotKnowIsRefused) {
    for (const Program& program : kPrograms) {
        for (const char* word : {"-quite", "quiet", "-Quiet", "-usbtests", "-log", "/quiet"}) {
            const Separated run = RunQuietly(program.path, std::string("-quiet ") + word);
            EXPECT_EQ(run.out.status, 2) << program.name << " " << word;
            EXPECT_TRUE(run.out.lines.empty()) << program.name << " " << word;
            EXPECT_EQ(run.err, (std::vector<std::string>{
                                   std::string(program.name) + ": unknown word " + word,
                                   std::string("(") + program.name + " --help lists the options)"}))
                << word;
        }
    }
}

// Every switch of the wizard's is taken as it is written, the log switches with their paths.
TEST(LinuxConventions, TheWizardsOwnSwitchesAreTaken) {
    const std::string log = TestFile("run.log");
    const std::string transfers = TestFile("transfers.log");
    for (const Program& program : kPrograms) {
        std::remove(log.c_str());
        std::remove(transfers.c_str());
        const Separated run = RunQuietly(
            program.path, std::string(program.path == kPrograms[0].path ? "--fast " : "") +
                              "-quiet -usbtest -dantetest -usbtestonly -dantetestonly -log=" + log +
                              " -logtransfers=" + transfers);
        ASSERT_FALSE(run.out.lines.empty()) << program.name;
        EXPECT_EQ(run.out.lines.back().rfind("exit code: ", 0), 0u) << program.name;
        // The wizard ran (vantor-setup ends with 20 where no mixer is attached).
        EXPECT_NE(run.out.status, 2) << program.name;
        for (const std::string& line : run.err) {
            EXPECT_EQ(line.find("unknown word"), std::string::npos) << line;
        }
        // The first log switch is the one the wizard takes.
        EXPECT_FALSE(ReadLines(log).empty()) << program.name;
        EXPECT_TRUE(ReadLines(transfers).empty()) << program.name;
    }
}

TEST(LinuxConventions, DashHIsTheHelp) {
    for (const Program& program : kPrograms) {
        const Separated shortHelp = RunQuietly(program.path, "-h");
        const Separated longHelp = RunQuietly(program.path, "--help");
        EXPECT_EQ(shortHelp.out.status, 0) << program.name;
        ASSERT_FALSE(shortHelp.out.lines.empty()) << program.name;
        EXPECT_EQ(shortHelp.out.lines.front().rfind(std::string("usage: ") + program.name, 0), 0u);
        EXPECT_EQ(shortHelp.out.lines, longHelp.out.lines) << program.name;
        EXPECT_TRUE(shortHelp.err.empty()) << program.name;
    }
}

// Each failure's title and the system's words for it, one line on standard error; nothing for a
// success, nor for a run cancelled before any outcome. The finish lines end with "\n" alone.
TEST(LinuxConventions, AFailuresReasonAlsoGoesToStandardError) {
    struct Case {
        const char* arguments;
        int status;
        const char* exitLine;
        std::vector<std::string> err;
    };
    const Case cases[] = {
        {"--mixer=none -quiet",
         20,
         "exit code: 20 (0x00000014)",
         {"setup-sim: Firmware Update Failed: The requested device could not be found."}},
        {"--fail-block=3 -quiet",
         255,
         "exit code: 1117 (0x0000045D)",
         {"setup-sim: Firmware Update Failed: The request failed because of an error on the "
          "device's connection."}},
        {"--wave-open-result=32 -quiet -usbtestonly",
         50,
         "exit code: 50 (0x00000032)",
         {"setup-sim: USB Test Failed: This kind of request is not available."}},
        {"--dante=10,13 -quiet -dantetestonly",
         255,
         "exit code: 2148532243 (0x80100013)",
         {"setup-sim: Dante Serial Port Test Failed: A fault occurred in internal "
          "communications."}},
        {"-quiet", 0, "exit code: 0 (0x00000000)", {}},
        {"", 255, "exit code: 1223 (0x000004C7)", {}},  // cancelled on the welcome page
    };
    for (const Case& c : cases) {
        const Separated run = RunQuietly(SETUP_SIM_PATH, std::string("--fast ") + c.arguments);
        EXPECT_EQ(run.out.status, c.status) << c.arguments;
        ASSERT_FALSE(run.out.lines.empty()) << c.arguments;
        EXPECT_EQ(run.out.lines.back(), c.exitLine) << c.arguments;
        EXPECT_EQ(run.err, c.err) << c.arguments;
        for (const std::string& line : run.out.lines) {
            EXPECT_EQ(line.find("\\r"), std::string::npos) << line;
        }
    }
}

// What a program wrote on a terminal of its own (a pseudo-terminal of 80 by 24), with TERM and
// NO_COLOR as given (null: unset), until it ended or a minute passed; and its status.
struct OnTerminal {
    bool started = false;  // false: no pseudo-terminal could be had
    std::string screen;
    int status = -1;  // -1: it did not end by itself
};
OnTerminal RunOnTerminal(const std::vector<const char*>& argv, const char* term,
                         const char* noColour) {
    OnTerminal run;
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, &size);
    if (pid < 0) {
        return run;
    }
    run.started = true;
    if (pid == 0) {
        term != nullptr ? setenv("TERM", term, 1) : unsetenv("TERM");
        noColour != nullptr ? setenv("NO_COLOR", noColour, 1) : unsetenv("NO_COLOR");
        std::vector<char*> args;
        for (const char* arg : argv) {
            args.push_back(const_cast<char*>(arg));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{terminal, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            kill(pid, SIGKILL);
            break;
        }
        char buffer[4096];
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0) {
            break;  // EIO: the program and its terminal are gone
        }
        run.screen.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    close(terminal);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The escapes in the output by kind: attributes (SGR), the progress escape (OSC), and the rest,
// which move the cursor or show and hide it.
struct Escapes {
    std::size_t all = 0;
    std::size_t attributes = 0;
    std::size_t progress = 0;
};
Escapes CountEscapes(const std::string& screen) {
    Escapes escapes;
    escapes.all = static_cast<std::size_t>(std::count(screen.begin(), screen.end(), '\x1b'));
    for (std::size_t at = 0; (at = screen.find('\x1b', at)) != std::string::npos; ++at) {
        if (screen.compare(at, 6, "\x1b]9;4;") == 0) {
            ++escapes.progress;
        }
        if (screen.compare(at, 2, "\x1b[") == 0) {
            std::size_t end = at + 2;
            while (end < screen.size() && (screen[end] < '@' || screen[end] > '~')) {
                ++end;
            }
            escapes.attributes += end < screen.size() && screen[end] == 'm' ? 1 : 0;
        }
    }
    return escapes;
}

TEST(LinuxConventions, NoColourAndADumbTerminalKeepTheEscapesOut) {
    struct Case {
        const char* term;
        const char* noColour;
        bool attributes;  // attributes and progress escapes written
        bool lines;       // the line view, without a single escape
    };
    const Case cases[] = {
        {"xterm", nullptr, true, false},  // the control: colour where nothing asks otherwise
        {"xterm", "", true, false},       // an empty NO_COLOR is not set
        {"xterm", "1", false, false},    {"dumb", nullptr, false, true}, {"dumb", "1", false, true},
    };
    for (const Case& c : cases) {
        const std::string name =
            std::string("TERM=") + c.term + " NO_COLOR=" + (c.noColour ? c.noColour : "(unset)");
        const OnTerminal run =
            RunOnTerminal({SETUP_SIM_PATH, "--fast", "-quiet"}, c.term, c.noColour);
        if (!run.started) {
            GTEST_SKIP() << "no pseudo-terminal here: " << std::strerror(errno);
        }
        EXPECT_EQ(run.status, 0) << name;
        const Escapes escapes = CountEscapes(run.screen);
        if (c.attributes) {
            EXPECT_GT(escapes.attributes, 0u) << name;
            EXPECT_GT(escapes.progress, 0u) << name;
        } else {
            EXPECT_EQ(escapes.attributes, 0u) << name;
            EXPECT_EQ(escapes.progress, 0u) << name;
        }
        if (c.lines) {
            EXPECT_EQ(escapes.all, 0u) << name;
            EXPECT_NE(run.screen.find("\r\npage: Firmware Update Complete\r\n"), std::string::npos)
                << name;
        } else {
            EXPECT_GT(escapes.all, 0u) << name;  // the cursor moves: the live view
            EXPECT_NE(run.screen.find("Enter: press"), std::string::npos) << name;
        }
        // The terminal is put back before the last line.
        const std::string last = "exit code: 0 (0x00000000)\r\n";
        ASSERT_GE(run.screen.size(), last.size()) << name;
        EXPECT_EQ(run.screen.substr(run.screen.size() - last.size()), last) << name;
    }
}

}  // namespace
