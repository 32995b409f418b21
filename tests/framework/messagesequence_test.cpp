// The window rules the wizard is built on, as recorded message sequences compared with expected
// tables, in the manner of Wine's property-sheet tests. The same tests run on the portable window
// model and, in the Windows build under Wine, on the Win32 framework over the real common controls;
// where the two differ, the common controls are right.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/propertysheet.h"
#include "framework/winthread.h"
#include "resources/resource.h"
#include "tests/framework/sequencehost.h"

namespace {

using Sequence = std::vector<std::string>;

// A message of the test's own; its wParam numbers the step.
const UINT WM_STEP = WM_APP + 1;
const char* const kBoxCaption = "Sequence box";

// What the pages did, in order, each entry with the page's number first.
Sequence g_sequence;

class CRecordingPage : public CPropertyPage {
public:
    using Action = std::function<void(CRecordingPage&)>;

    CRecordingPage(int number, UINT nIDTemplate) : CPropertyPage(nIDTemplate), m_number(number) {}

    void Record(const std::string& what) {
        g_sequence.push_back(std::to_string(m_number) + " " + what);
    }
    CPropertySheet& Sheet() { return *GetSheet(); }
    void PostStep(WPARAM step) { PostMessage(WM_STEP, step); }

    BOOL OnSetActive() override {
        Record("setactive");
        if (onSetActive) {
            onSetActive(*this);
        }
        Record("setactive end");
        return TRUE;
    }
    LRESULT OnWizardNext() override {
        const HWND next = ::GetDlgItem(Sheet().GetSafeHwnd(), ID_WIZNEXT);
        Record(::IsWindowEnabled(next) ? "wiznext" : "wiznext, next disabled");
        return 0;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_STEP) {
            return CPropertyPage::WindowProc(message, wParam, lParam);
        }
        Record("step " + std::to_string(wParam));
        if (const auto found = onStep.find(wParam); found != onStep.end()) {
            found->second(*this);
        }
        Record("step " + std::to_string(wParam) + " end");
        return 0;
    }

    Action onSetActive;
    std::map<WPARAM, Action> onStep;

private:
    int m_number;
};

void Cancel(CRecordingPage& page) {
    page.Sheet().PressButton(PSBTN_CANCEL);
}

// A wizard of two interior pages of the program's own templates, without header or watermark.
// The second page cancels the wizard as soon as it shows.
class SequenceWizard {
public:
    SequenceWizard() : m_sheet("Sequence") {
        g_sequence.clear();
        m_sheet.m_psh.dwFlags = PSH_WIZARD97;
        m_sheet.AddPage(&first);
        m_sheet.AddPage(&second);
        second.onSetActive = Cancel;
    }
    // The sequence of the whole run; the run must end through Cancel.
    Sequence Run() {
        EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
        return g_sequence;
    }

private:
    SequenceHost m_host;
    CPropertySheet m_sheet;

public:
    CRecordingPage first{1, IDD_INSTALLING};
    CRecordingPage second{2, IDD_TESTING};
};

TEST(MessageSequence, PostedMessagesRunAfterTheHandlerInTheirOrder) {
    SequenceWizard wizard;
    wizard.first.onSetActive = [](CRecordingPage& page) {
        page.PostStep(1);
        page.PostStep(2);
    };
    wizard.first.onStep[2] = Cancel;
    EXPECT_EQ(wizard.Run(), (Sequence{"1 setactive", "1 setactive end", "1 step 1", "1 step 1 end",
                                      "1 step 2", "1 step 2 end"}));
}

TEST(MessageSequence, ASentMessageRunsAtOnceInsideTheSender) {
    SequenceWizard wizard;
    wizard.first.onSetActive = [](CRecordingPage& page) {
        page.PostStep(2);
        page.SendMessage(WM_STEP, 1);
    };
    wizard.first.onStep[2] = Cancel;
    EXPECT_EQ(wizard.Run(), (Sequence{"1 setactive", "1 step 1", "1 step 1 end", "1 setactive end",
                                      "1 step 2", "1 step 2 end"}));
}

// A worker that notifies the page and notes that the call came back.
struct Notifier {
    HWND page;
    LONG volatile returned;
};

UINT NotifyFromWorker(LPVOID parameter) {
    auto* notifier = static_cast<Notifier*>(parameter);
    SendNotifyMessageA(notifier->page, WM_STEP, 1, 0);
    InterlockedExchange(&notifier->returned, 1);
    return 0;
}

// The notification waits for the page's handler to end, then runs before the message the page had
// posted earlier: messages sent from other threads come before posted ones.
TEST(MessageSequence, AWorkersNotificationIsQueuedAheadOfPostedOnesAndTheWorkerNeverWaits) {
    SequenceWizard wizard;
    Notifier notifier{nullptr, 0};
    wizard.first.onSetActive = [&notifier](CRecordingPage& page) {
        notifier.page = page.GetSafeHwnd();
        page.PostStep(2);
        ASSERT_NE(AfxBeginThread(NotifyFromWorker, &notifier), nullptr);
        // The page's thread is busy here: a worker that waited for it would not come back.
        const auto cameBack = [&notifier] {
            return InterlockedCompareExchange(&notifier.returned, 0, 0) != 0;
        };
        for (int look = 0; look < 500 && !cameBack(); ++look) {
            Sleep(10);
        }
        page.Record(cameBack() ? "worker came back" : "worker waits");
    };
    wizard.first.onStep[2] = Cancel;
    EXPECT_EQ(wizard.Run(), (Sequence{"1 setactive", "1 worker came back", "1 setactive end",
                                      "1 step 1", "1 step 1 end", "1 step 2", "1 step 2 end"}));
}

TEST(MessageSequence, PressButtonActsOnADisabledButton) {
    SequenceWizard wizard;
    wizard.first.onSetActive = [](CRecordingPage& page) {
        page.Sheet().SetWizardButtons(0);
        page.Sheet().PressButton(PSBTN_NEXT);
    };
    EXPECT_EQ(wizard.Run(), (Sequence{"1 setactive", "1 setactive end", "1 wiznext, next disabled",
                                      "2 setactive", "2 setactive end"}));
}

TEST(MessageSequence, AMessageBoxRunsTheQueueInItsOwnLoop) {
    SequenceWizard wizard;
    wizard.first.onSetActive = [](CRecordingPage& page) { page.PostStep(1); };
    wizard.first.onStep[1] = [](CRecordingPage& page) {
        page.PostStep(2);
        const int button = MessageBoxA(page.GetSafeHwnd(), "A question", kBoxCaption, MB_OK);
        page.Record("box closed with " + std::to_string(button));
        page.PostStep(3);
    };
    wizard.first.onStep[2] = [](CRecordingPage&) { PressOkOnMessageBox(kBoxCaption); };
    wizard.first.onStep[3] = Cancel;
    EXPECT_EQ(wizard.Run(),
              (Sequence{"1 setactive", "1 setactive end", "1 step 1", "1 step 2", "1 step 2 end",
                        "1 box closed with 1", "1 step 1 end", "1 step 3", "1 step 3 end"}));
}

}  // namespace
