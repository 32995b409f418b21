// The log's file: each event a line with its time on the process clock, and a log that cannot be
// written leaves one reason and nothing else behind.
#include "diagnostics/runlog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/win32api.h"
#ifndef _WIN32
#include "platform/portable/clock.h"
#endif

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class RunLog : public ::testing::Test {
protected:
    void TearDown() override {
        runlog::Stop();
        std::remove(m_path.c_str());
    }
    // A file of the test's own, as tests run side by side; a space, as users' paths have.
    std::string m_path = ::testing::TempDir() + "run log " +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
};

TEST_F(RunLog, WritesEachEventALineAfterItsTime) {
    std::string error;
    const DWORD t0 = timeGetTime();
    ASSERT_TRUE(runlog::Start(m_path, runlog::Detail::Events, &error)) << error;
    EXPECT_TRUE(runlog::IsOn());
    EXPECT_FALSE(runlog::RecordsTransfers());
    runlog::Write("page welcome");
    const DWORD firstBy = timeGetTime() - t0;
    Sleep(30);
    runlog::Write("button Next");
    const DWORD elapsed = timeGetTime() - t0;
    runlog::Stop();
    runlog::Write("after the end");
    EXPECT_FALSE(runlog::IsOn());
    const std::string text = ReadAll(m_path);
    unsigned first = 99;
    unsigned second = 0;
    ASSERT_EQ(std::sscanf(text.c_str(), "%u page welcome\n%u button Next\n", &first, &second), 2)
        << text;
    // However slow the machine: within the times seen around each write, and 30 ms apart at least.
    EXPECT_LE(first, firstBy);
    EXPECT_GE(second, first + 30);
    EXPECT_LE(second, elapsed + 1);
    EXPECT_EQ(text.find("after the end"), std::string::npos);
    EXPECT_EQ(runlog::WriteFailure(), "");
}

#ifndef _WIN32
TEST_F(RunLog, TimesAreTheProcessClocks) {
    portable::UseVirtualClock();
    std::string error;
    ASSERT_TRUE(runlog::Start(m_path, runlog::Detail::Transfers, &error)) << error;
    EXPECT_TRUE(runlog::RecordsTransfers());
    runlog::Write("a");
    Sleep(8000);
    runlog::Write("b");
    runlog::Stop();
    portable::UseRealClock();
    EXPECT_EQ(ReadAll(m_path), "0 a\n8000 b\n");
}

TEST_F(RunLog, AFullDiskIsReportedOnceAndEndsTheLog) {
    std::string error;
    ASSERT_TRUE(runlog::Start("/dev/full", runlog::Detail::Events, &error)) << error;
    runlog::Write("page welcome");
    EXPECT_EQ(runlog::WriteFailure(), "/dev/full: No space left on device");
    EXPECT_FALSE(runlog::IsOn()) << "a log that failed must not be written again";
    runlog::Write("button Next");
    EXPECT_EQ(runlog::WriteFailure(), "/dev/full: No space left on device");
}
#endif

TEST_F(RunLog, AFileThatCannotBeMadeLeavesTheLogOffWithTheReason) {
    const std::string path = ::testing::TempDir() + "no such folder/run.log";
    std::string error;
    EXPECT_FALSE(runlog::Start(path, runlog::Detail::Events, &error));
    EXPECT_EQ(error, path + ": No such file or directory");
    EXPECT_FALSE(runlog::IsOn());
    runlog::Write("page welcome");  // nothing to write to, and nothing breaks
    EXPECT_EQ(runlog::WriteFailure(), "");
}

}  // namespace
