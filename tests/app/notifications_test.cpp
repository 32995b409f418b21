// The progress pages' reactions to their workers' notifications, sent from the workers' own
// threads: animation, progress bar, marquee, taskbar, message boxes and the move to the next page.
#include <gtest/gtest.h>

#include <vector>

#include "app/setupdlg.h"
#include "app/workeranswers.h"
#include "resources/resource.h"
#include "tests/app/scriptedworkers.h"

namespace {

using portable::Press;
using Kind = portable::ViewEvent::Kind;

// The positions the bar moved to, from the template's 0.
std::vector<int> ProgressPositions(const ScriptedWizard& wizard, int templateId) {
    std::vector<int> positions;
    int last = 0;
    for (const auto& entry : wizard.EventsOn(templateId, Kind::ControlChanged)) {
        const int position = entry.sheet.page.Control(IDC_PROGRESS)->position;
        if (position != last) {
            positions.push_back(position);
            last = position;
        }
    }
    return positions;
}

std::vector<ULONGLONG> TaskbarValues(const ScriptedWizard& wizard) {
    std::vector<ULONGLONG> values;
    for (const auto& entry : wizard.view.Events(Kind::TaskbarValue)) {
        values.push_back(entry.sheet.taskbar.completed);
        EXPECT_EQ(entry.sheet.taskbar.total, 100u);
    }
    return values;
}

TEST(UpdatePage, ShowsHalfOfTheWorkersProgressAndSkipsEqualPositions) {
    ScriptedWizard wizard;
    Workers().update = [](CInstallingPage& page) {
        page.StartProgress();
        for (LONG value : {0, 1, 2, 199, 200, 200}) {
            page.Progress(value);
        }
        Succeed(page);
    };
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    EXPECT_EQ(ProgressPositions(wizard, IDD_INSTALLING), (std::vector<int>{1, 99, 100}));
    // One value at the start, then one per position that changed.
    EXPECT_EQ(TaskbarValues(wizard), (std::vector<ULONGLONG>{0, 1, 99, 100}));
}

TEST(UpdatePage, AnAnswerLeftFromBeforeIsClearedBeforeTheBoxIsAsked) {
    ScriptedWizard wizard;
    wizard.view.Script({Press::Next, Press::Ok, Press::Finish});
    Workers().update = [](CInstallingPage& page) {
        InterlockedExchange(&UpdateAnswer, IDCANCEL);  // left from an earlier box
        page.Ask(WorkerQuestion::NotConnected);
        Succeed(page);
    };
    EXPECT_EQ(wizard.Run(""), 0);
    ASSERT_EQ(wizard.view.Events(Kind::MessageBoxShown).size(), 1u);
    // The worker waited for the person's OK and took it; a stale answer would have let it go on
    // at once and left the OK behind.
    EXPECT_EQ(InterlockedExchange(&UpdateAnswer, 0), 0);
}

TEST(UpdatePage, EveryNotificationFromTheWorkersThread) {
    ScriptedWizard wizard;
    wizard.view.Script({Press::Next, Press::Ok, Press::Ok, Press::Finish});
    Workers().update = [](CInstallingPage& page) {
        page.Animate();
        page.StartProgress();
        page.Progress(100);
        page.Marquee(true);
        page.Marquee(false);
        page.Ask(WorkerQuestion::NotConnected);
        page.Ask(WorkerQuestion::BadImage);
        page.Animate();
        page.Notify(99);                     // no such notification
        page.Notify(static_cast<UINT>(-1));  // nor is a negative code
        CSetupDlg::SetWorkerOutcome(IDS_UPDATE_FAILED_TITLE, IDS_UPDATE_FAILED_TEXT, 0,
                                    ERROR_BAD_FORMAT);
        page.Done();
    };
    EXPECT_EQ(wizard.Run(""), ERROR_BAD_FORMAT);

    std::vector<TBPFLAG> states;
    for (const auto& entry : wizard.view.Events(Kind::TaskbarState)) {
        states.push_back(entry.sheet.taskbar.state);
    }
    EXPECT_EQ(states, (std::vector<TBPFLAG>{TBPF_INDETERMINATE, TBPF_NORMAL, TBPF_INDETERMINATE,
                                            TBPF_NORMAL, TBPF_NOPROGRESS, TBPF_NOPROGRESS,
                                            TBPF_INDETERMINATE, TBPF_NOPROGRESS}));
    EXPECT_EQ(wizard.view.Events(Kind::TaskbarReleased).size(), 1u);

    const auto boxes = wizard.view.Events(Kind::MessageBoxShown);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].sheet.messageBox->text,
              "There does not appear to be a Vantor connected to this computer.");
    EXPECT_EQ(boxes[0].sheet.messageBox->flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(boxes[1].sheet.messageBox->text,
              "The firmware update image is incorrect or damaged.");
    EXPECT_EQ(boxes[1].sheet.messageBox->flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[0].sheet.messageBox->caption, "app_tests");  // the executable's name

    // The marquee ran and stopped with the bar where it was.
    bool marqueeSeen = false;
    for (const auto& entry : wizard.EventsOn(IDD_INSTALLING, Kind::ControlChanged)) {
        marqueeSeen = marqueeSeen || entry.sheet.page.Control(IDC_PROGRESS)->marquee;
    }
    EXPECT_TRUE(marqueeSeen);
    // The closing animation is what the page shows last.
    const portable::SheetView last = wizard.LastStateOf(IDD_INSTALLING);
    EXPECT_FALSE(last.page.Control(IDC_PROGRESS)->visible);
    EXPECT_FALSE(last.page.Control(IDC_PROGRESS)->marquee);
    EXPECT_EQ(last.page.Control(IDC_PROGRESS)->position, 50);
    EXPECT_TRUE(last.page.Control(IDC_ANIMATE)->visible);
    EXPECT_TRUE(last.page.Control(IDC_ANIMATE)->playing);
}

TEST(UpdatePage, ProgressBeforeTheStartMovesTheHiddenBar) {
    ScriptedWizard wizard;
    Workers().update = [](CInstallingPage& page) {
        page.Animate();
        page.Progress(120);
        page.StartProgress();
        Succeed(page);
    };
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    const auto changes = wizard.EventsOn(IDD_INSTALLING, Kind::ControlChanged);
    bool movedWhileHidden = false;
    for (const auto& entry : changes) {
        const portable::ControlView* bar = entry.sheet.page.Control(IDC_PROGRESS);
        movedWhileHidden = movedWhileHidden || (!bar->visible && bar->position == 60);
    }
    EXPECT_TRUE(movedWhileHidden);
    const portable::SheetView last = wizard.LastStateOf(IDD_INSTALLING);
    EXPECT_TRUE(last.page.Control(IDC_PROGRESS)->visible);
    EXPECT_EQ(last.page.Control(IDC_PROGRESS)->position, 0);
}

TEST(TestPages, ShowTheValueItselfAndIgnoreTheUpdatesOwnCodes) {
    ScriptedWizard wizard;
    const auto script = [](CProgressPage& page) {
        page.Animate();
        page.StartProgress();
        page.Progress(95);
        page.Notify(WN_ASK_BAD_IMAGE);
        page.Marquee(true);
        page.Marquee(false);
        page.Progress(100);
        Succeed(page, IDS_USB_TEST_PASSED_TEXT);
    };
    Workers().usbTest = script;
    Workers().danteTest = script;
    EXPECT_EQ(wizard.Run("-quiet -usbtestonly -dantetest"), 0);
    for (int page : {IDD_TESTING, IDD_DANTE}) {
        EXPECT_EQ(ProgressPositions(wizard, page), (std::vector<int>{95, 100})) << page;
        for (const auto& entry : wizard.EventsOn(page, Kind::ControlChanged)) {
            EXPECT_FALSE(entry.sheet.page.Control(IDC_PROGRESS)->marquee);
        }
    }
    EXPECT_TRUE(wizard.view.Events(Kind::MessageBoxShown).empty());
    // Only the update page shows taskbar progress; without one, nobody does.
    EXPECT_TRUE(wizard.view.Events(Kind::TaskbarState).empty());
    EXPECT_TRUE(wizard.view.Events(Kind::TaskbarValue).empty());
}

TEST(TestPages, TheTaskbarIsGoneAfterTheUpdatePage) {
    ScriptedWizard wizard;
    Workers().usbTest = [](CTestingPage& page) {
        EXPECT_EQ(page.GetSetupDlg()->m_pTaskbarList, nullptr);
        page.Animate();
        page.StartProgress();
        Succeed(page, IDS_USB_TEST_PASSED_TEXT);
    };
    EXPECT_EQ(wizard.Run("-quiet -usbtest"), 0);
    EXPECT_TRUE(wizard.EventsOn(IDD_TESTING, Kind::TaskbarState).empty());
    EXPECT_EQ(wizard.view.Events(Kind::TaskbarReleased).size(), 1u);
}

TEST(AnswerProtocol, AStaleAnswerIsClearedBeforeAsking) {
    ScriptedWizard wizard;
    wizard.view.Script({Press::Next, Press::Ok, Press::Finish});
    InterlockedExchange(&UsbTestAnswer, 7);  // left from an earlier box
    LONG answer = 0;
    Workers().usbTest = [&answer](CTestingPage& page) {
        answer = page.Ask(WorkerQuestion::NotConnected);
        Succeed(page, IDS_USB_TEST_PASSED_TEXT);
    };
    EXPECT_EQ(wizard.Run("-usbtestonly"), 0);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(wizard.view.Events(Kind::MessageBoxShown).size(), 1u);
    EXPECT_EQ(InterlockedExchange(&UsbTestAnswer, 0), 0);  // consumed once
}

TEST(AnswerProtocol, ABoxThatCannotBeShownStillLetsTheWorkerGoOn) {
    ScriptedWizard wizard;
    wizard.view.SetCanShowMessageBox(false);
    LONG answer = 0;
    Workers().update = [&answer](CInstallingPage& page) {
        answer = page.Ask(WorkerQuestion::NotConnected);
        Succeed(page);
    };
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    EXPECT_EQ(answer, IDABORT);
}

TEST(AnswerProtocol, WhenInputEndsABoxIsAnsweredOk) {
    ScriptedWizard wizard;
    LONG answer = 0;
    Workers().danteTest = [&answer](CDantePage& page) {
        answer = page.Ask(WorkerQuestion::NotConnected);
        Succeed(page, IDS_DANTE_TEST_PASSED_TEXT);
    };
    EXPECT_EQ(wizard.Run("-quiet -dantetestonly"), 0);
    EXPECT_EQ(answer, IDOK);
}

}  // namespace
