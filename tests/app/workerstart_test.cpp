// A progress page whose worker thread cannot be started does what its worker would have done at
// its start: the update fails with the reason; a port test after a failed stage leaves that failure
// as the outcome, and after a success fails its own stage.
#include <gtest/gtest.h>

#include <string>

#include "app/setupdlg.h"
#include "app/workeranswers.h"
#include "framework/winthread.h"
#include "resources/resource.h"
#include "tests/app/scriptedworkers.h"

namespace {

// Threads start again after each test, whatever it did.
class WorkerStart : public testing::Test {
protected:
    void TearDown() override { AfxSetThreadStartFailure(0); }

    static std::string FinishTitle(const ScriptedWizard& wizard) {
        return wizard.LastStateOf(IDD_FINISH).page.Control(IDC_FINISH_TITLE)->text;
    }
};

// An update that ends as `error` (0: success) and leaves the next worker unable to start.
void UpdateThenNoMoreThreads(DWORD error) {
    Workers().update = [error](CInstallingPage& page) {
        if (error == 0) {
            CSetupDlg::SetWorkerOutcome(0, 0, 0, 0);
        } else {
            CSetupDlg::SetWorkerOutcome(IDS_UPDATE_FAILED_TITLE, IDS_UPDATE_FAILED_TEXT, 0,
                                        static_cast<int>(error));
        }
        AfxSetThreadStartFailure(ERROR_NOT_ENOUGH_MEMORY);
        page.Done();
    };
}

TEST_F(WorkerStart, AnUpdateThatCannotStartIsAFailedUpdate) {
    ScriptedWizard wizard;
    AfxSetThreadStartFailure(ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(wizard.Run("-quiet"), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(Workers().started, 0);
    EXPECT_EQ(FinishTitle(wizard), "Firmware Update Failed");
}

TEST_F(WorkerStart, ATestThatCannotStartLeavesAnEarlierFailureAlone) {
    for (const char* line :
         {"-quiet -usbtest", "-quiet -dantetest", "-quiet -usbtest -dantetest"}) {
        ScriptedWizard wizard;
        UpdateThenNoMoreThreads(ERROR_IO_DEVICE);
        EXPECT_EQ(wizard.Run(line), ERROR_IO_DEVICE) << line;
        EXPECT_EQ(Workers().started, 1) << line;
        EXPECT_EQ(FinishTitle(wizard), "Firmware Update Failed") << line;
        AfxSetThreadStartFailure(0);
    }
}

TEST_F(WorkerStart, ATestThatCannotStartAfterASuccessFailsItsOwnStage) {
    struct Case {
        const char* line;
        std::string title;
    } const cases[] = {{"-quiet -usbtest", "USB Test Failed"},
                       {"-quiet -dantetest", "Dante Serial Port Test Failed"},
                       // The Dante page skips itself after the USB page's failure.
                       {"-quiet -usbtest -dantetest", "USB Test Failed"}};
    for (const Case& c : cases) {
        ScriptedWizard wizard;
        UpdateThenNoMoreThreads(0);
        EXPECT_EQ(wizard.Run(c.line), ERROR_NOT_ENOUGH_MEMORY) << c.line;
        EXPECT_EQ(FinishTitle(wizard), c.title) << c.line;
        AfxSetThreadStartFailure(0);
    }
}

}  // namespace
