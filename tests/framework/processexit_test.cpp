#include "framework/portable/processexit.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include <sys/wait.h>

namespace {

TEST(PortableEntry, JoinsTheArgumentsAfterTheProgramName) {
    const char* none[] = {"setup-sim"};
    EXPECT_EQ(portable::JoinCommandLine(1, none), "");
    const char* some[] = {"setup-sim", "-quiet", "two words", "", "-usbtest"};
    EXPECT_EQ(portable::JoinCommandLine(5, some), "-quiet \"two words\"  -usbtest");
}

TEST(PortableEntry, MapsWin32CodesToEightBitStatuses) {
    EXPECT_EQ(portable::PosixExitStatus(0), 0);
    EXPECT_EQ(portable::PosixExitStatus(1), 1);
    EXPECT_EQ(portable::PosixExitStatus(20), 20);
    EXPECT_EQ(portable::PosixExitStatus(255), 255);
    // Codes that would wrap to a small or zero status must still read as failure.
    EXPECT_EQ(portable::PosixExitStatus(256), 255);
    EXPECT_EQ(portable::PosixExitStatus(1223), 255);
    EXPECT_EQ(portable::PosixExitStatus(-1), 255);
    EXPECT_EQ(portable::PosixExitStatus(static_cast<int>(0x80100013u)), 255);
}

TEST(PortableEntry, ReportsTheFullCode) {
    EXPECT_EQ(portable::ExitCodeLine(0), "exit code: 0 (0x00000000)");
    EXPECT_EQ(portable::ExitCodeLine(1223), "exit code: 1223 (0x000004C7)");
    EXPECT_EQ(portable::ExitCodeLine(static_cast<int>(0x80100013u)),
              "exit code: 2148532243 (0x80100013)");
}

// Runs the test program, whose application object exits with the code given on its command line.
struct ProgramRun {
    int status;
    std::string output;
};

ProgramRun RunExitWith(const std::string& arguments) {
    const std::string command = std::string(EXITWITH_PATH) + " " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    ProgramRun run{-1, {}};
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 256> chunk;
    while (std::fgets(chunk.data(), chunk.size(), pipe) != nullptr) {
        run.output += chunk.data();
    }
    const int wait = pclose(pipe);
    run.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    return run;
}

TEST(PortableEntry, EndsTheProcessWithTheApplicationsCode) {
    ProgramRun success = RunExitWith("0");
    EXPECT_EQ(success.status, 0);
    EXPECT_EQ(success.output, "command line: 0\nexit code: 0 (0x00000000)\n");

    ProgramRun cancelled = RunExitWith("1223 -quiet");
    EXPECT_EQ(cancelled.status, 255);
    EXPECT_EQ(cancelled.output, "command line: 1223 -quiet\nexit code: 1223 (0x000004C7)\n");

    ProgramRun badUnit = RunExitWith("20");
    EXPECT_EQ(badUnit.status, 20);
}

}  // namespace
