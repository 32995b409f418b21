#include "app/setupapp.h"

#include <gtest/gtest.h>

#include "app/commandline.h"
#include "device/mixerids.h"
#include "tests/app/scriptedworkers.h"

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

// While another wizard holds the machine's update mutex, a second one shows no page and sends
// nothing: it tells the person, unless quiet, and ends with a code of its own. A wizard lets its
// mutex go at its end, so the next one runs.
TEST(SetupApp, ASecondWizardEndsBeforeItsPagesWithItsOwnCode) {
    const HANDLE other = CreateMutexA(nullptr, FALSE, UPDATE_MUTEX_NAME);
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    for (const char* commandLine : {"-quiet", ""}) {
        ScriptedWizard wizard;
        EXPECT_EQ(wizard.Run(commandLine), ERROR_SINGLE_INSTANCE_APP) << commandLine;
        EXPECT_TRUE(wizard.view.ActivatedTemplates().empty());
        EXPECT_EQ(Workers().started, 0);
        std::vector<std::string> boxes;
        for (const auto& entry : wizard.view.Events(portable::ViewEvent::Kind::MessageBoxShown)) {
            boxes.push_back(entry.sheet.messageBox->text);
        }
        EXPECT_EQ(boxes, *commandLine == '\0'
                             ? std::vector<std::string>{"Another Vantor firmware update is running "
                                                        "on this computer. Let it finish, then run "
                                                        "this wizard again if it is still needed."}
                             : std::vector<std::string>{});
    }
    CloseHandle(other);

    ScriptedWizard wizard;
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    const HANDLE after = CreateMutexA(nullptr, FALSE, UPDATE_MUTEX_NAME);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(after);
}

}  // namespace
