// Interrupting the wizard: where it offers Cancel an interruption presses it, and Finish where the
// work is over; while a worker runs that nobody may stop, and while the update runs even with a box
// up, the first interruption is refused with a warning and the wizard goes on.
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

// Notes `sig` and waits until the loop has judged it, on the worker's page, before the worker goes
// on to the WN_DONE that follows.
void InterruptAndWait(int sig) {
    portable::NoteInterrupt(sig);
    while (portable::InterruptPending()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST_F(Interrupt, WhileTheUpdateRunsTheFirstIsRefusedAndTheWizardGoesOn) {
    ScriptedWizard wizard;
    Workers().update = [](CInstallingPage& page) {
        InterruptAndWait(SIGINT);
        Succeed(page);
    };
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    EXPECT_EQ(wizard.EventsOn(IDD_INSTALLING, Kind::InterruptRefused).size(), 1u);
    EXPECT_EQ(wizard.view.Events(Kind::InterruptRefused).size(), 1u);
    const auto closed = wizard.view.Events(Kind::SheetClosed);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].event.result, ID_WIZFINISH);
}

// A lost terminal is no person insisting: hangups, however many and however close, never end the
// update; the run goes on to its outcome.
TEST_F(Interrupt, HangupsDuringTheUpdateAreAllRefused) {
    ScriptedWizard wizard;
    Workers().update = [](CInstallingPage& page) {
        InterruptAndWait(SIGHUP);
        InterruptAndWait(SIGHUP);
        Succeed(page);
    };
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    EXPECT_EQ(wizard.EventsOn(IDD_INSTALLING, Kind::InterruptRefused).size(), 2u);
}

// With the damaged-image box up the mixer is already in update mode and waits for "BOOT": the box
// does not make the update interruptible. Once the work is over, on the finish page, an
// interruption ends the run as Finish would, with the outcome's code.
TEST_F(Interrupt, TheUpdatesBoxRefusesItAndTheFinishPageEndsWithTheOutcome) {
    ScriptedWizard wizard;
    wizard.view.Script({Press::Next, Press::Interrupt, Press::Ok, Press::Interrupt});
    Workers().update = [](CInstallingPage& page) {
        page.Ask(WorkerQuestion::BadImage);
        page.StoreFailure(ERROR_BAD_FORMAT);
        page.Done();
    };
    EXPECT_EQ(wizard.Run(""), ERROR_BAD_FORMAT);
    const auto refused = wizard.EventsOn(IDD_INSTALLING, Kind::InterruptRefused);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_TRUE(refused[0].sheet.messageBox.has_value());
    const auto closed = wizard.view.Events(Kind::SheetClosed);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].event.result, ID_WIZFINISH);
}

}  // namespace
