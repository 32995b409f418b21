// Interrupting the wizard: where it offers Cancel an interruption presses it; while a worker runs
// that nobody may stop, the first interruption is refused with a warning and the wizard goes on.
// (How a second one ends the program, with the exit code line, is seen from outside, in
// setupsim_test.cpp: the end does not return.)
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "app/installingpage.h"
#include "framework/frameworkids.h"
#include "framework/portable/interrupts.h"
#include "resources/resource.h"
#include "tests/app/scriptedworkers.h"

namespace {

using portable::Press;
using Kind = portable::ViewEvent::Kind;

class Interrupt : public testing::Test {
protected:
    void TearDown() override { portable::TakeInterrupt(); }
};

TEST_F(Interrupt, WhereCancelIsOfferedItPressesCancel) {
    ScriptedWizard wizard;
    wizard.view.Script({Press::Interrupt});
    EXPECT_EQ(wizard.Run(""), ERROR_CANCELLED);
    const auto closed = wizard.view.Events(Kind::SheetClosed);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].event.result, IDCANCEL);
    EXPECT_TRUE(wizard.view.Events(Kind::InterruptRefused).empty());
    EXPECT_EQ(Workers().started, 0);
}

TEST_F(Interrupt, ASignalWhereCancelIsOfferedPressesItToo) {
    ScriptedWizard wizard;
    portable::NoteInterrupt(SIGTERM);  // before the sheet runs: taken on the welcome page
    EXPECT_EQ(wizard.Run(""), ERROR_CANCELLED);
    EXPECT_EQ(Workers().started, 0);
}

TEST_F(Interrupt, WhileTheUpdateRunsTheFirstIsRefusedAndTheWizardGoesOn) {
    ScriptedWizard wizard;
    Workers().update = [](CInstallingPage& page) {
        portable::NoteInterrupt(SIGINT);
        // The loop judges it on this page before it can take the WN_DONE that follows.
        while (portable::InterruptPending()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        Succeed(page);
    };
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    EXPECT_EQ(wizard.EventsOn(IDD_INSTALLING, Kind::InterruptRefused).size(), 1u);
    EXPECT_EQ(wizard.view.Events(Kind::InterruptRefused).size(), 1u);
    const auto closed = wizard.view.Events(Kind::SheetClosed);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].event.result, ID_WIZFINISH);
}

}  // namespace
