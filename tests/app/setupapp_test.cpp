#include "app/setupapp.h"

#include <gtest/gtest.h>

#include "app/commandline.h"

namespace {

// The exit code after the wizard: what the finish page left, unless the user cancelled.
TEST(SetupAppExitCode, FollowsTheWayTheWizardEnded) {
    struct Case {
        INT_PTR modalResult;
        int finishPageCode;
        int exitCode;
    } const cases[] = {
        {ID_WIZFINISH, 0, 0},
        {ID_WIZFINISH, ERROR_BAD_UNIT, ERROR_BAD_UNIT},
        {ID_WIZFINISH, static_cast<int>(SCARD_F_COMM_ERROR), static_cast<int>(SCARD_F_COMM_ERROR)},
        {IDOK, ERROR_BAD_FORMAT, ERROR_BAD_FORMAT},
        {IDCANCEL, 0, ERROR_CANCELLED},
        {12345, 0, 0},
    };
    for (const Case& c : cases) {
        CSetupApp app;
        app.m_nExitCode = c.finishPageCode;
        app.ApplyWizardResult(c.modalResult);
        EXPECT_EQ(app.m_nExitCode, c.exitCode) << "modal result " << c.modalResult;
        EXPECT_EQ(app.ExitInstance(), c.exitCode);
    }
}

// A wizard that never appeared did nothing; its run must not end in success.
TEST(SetupAppExitCode, ReportsASheetThatCouldNotBeCreatedAsAFailure) {
    CSetupApp app;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    app.ApplyWizardResult(-1);
    EXPECT_EQ(app.m_nExitCode, ERROR_NOT_ENOUGH_MEMORY);

    SetLastError(ERROR_SUCCESS);
    app.ApplyWizardResult(-1);
    EXPECT_EQ(app.m_nExitCode, ERROR_GEN_FAILURE);
}

TEST(SetupAppExitCode, StartsAtSuccess) {
    CSetupApp app;
    EXPECT_EQ(app.m_nExitCode, 0);
}

TEST(SetupApp, RunsThroughTheFrameworkEntry) {
    CSetupApp app;
    char commandLine[] = "-usbtestonly -quiet";
    EXPECT_EQ(AfxWinMain(nullptr, nullptr, commandLine, 1), 0);
    EXPECT_TRUE(app.HasSwitch(SWITCH_QUIET));
    EXPECT_TRUE(app.HasSwitch("-usbtest"));
    EXPECT_FALSE(app.HasSwitch(SWITCH_DANTE_TEST));
}

}  // namespace
