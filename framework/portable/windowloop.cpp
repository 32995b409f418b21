// The model's loop on the user-interface thread: queued messages first, then an interruption,
// then the person, or a moment for the view while a worker is busy (presspolicy.h decides).
#include "framework/portable/windowmodel.h"

#include <chrono>
#include <csignal>

#include "framework/portable/interrupts.h"
#include "framework/portable/presspolicy.h"

namespace portable {

namespace {

// How long the loop gives a person's view before it looks at the queue again, and how long it
// waits for a worker's message while nobody can act.
constexpr DWORD kPersonWaitMs = 50;
constexpr auto kIdleWait = std::chrono::milliseconds(100);

}  // namespace

void WindowModel::RunUntil(const std::function<bool()>& done) {
    while (!done()) {
        Message message;
        if (TakeMessage(&message)) {
            if (message.crossThread && m_spy) {
                m_spy(message.handle, message.message, message.wParam, message.lParam);
            }
            const LRESULT result =
                Dispatch(message.handle, message.message, message.wParam, message.lParam);
            if (message.result) {
                std::lock_guard lock(m_mutex);
                *message.result = result;
                m_answered.notify_all();
            }
            continue;
        }
        // An interruption is judged on the sheet as its queued changes have left it.
        if (const int sig = TakeInterrupt(); sig != 0) {
            HandleInterrupt(sig);
            continue;
        }
        View* view = CurrentView();
        const SheetView sheet = Snapshot();
        if (PersonCanAct(sheet)) {
            Press press =
                view != nullptr ? view->WaitForPerson(sheet, kPersonWaitMs) : Press::InputEnded;
            if (press == Press::InputEnded) {
                press = AutomaticPress(sheet);
            }
            if (press == Press::None) {
                continue;
            }
            if (press == Press::Interrupt) {
                HandleInterrupt(SIGINT);
                continue;
            }
            if (m_box) {
                // A box is modal: the sheet behind it takes no press.
                if (press == Press::Ok) {
                    AnswerMessageBox(IDOK);
                }
                continue;
            }
            if (m_behaviour != nullptr) {
                m_behaviour->Press(press);
            }
            continue;
        }
        if (view != nullptr) {
            view->Idle(sheet);
        }
        std::unique_lock lock(m_mutex);
        m_queued.wait_for(lock, kIdleWait, [&] { return !m_sent.empty() || !m_posted.empty(); });
    }
}

void WindowModel::HandleInterrupt(int sig) {
    const SheetView sheet = Snapshot();
    switch (m_interruptPolicy.Judge(
        sig, sheet, m_behaviour != nullptr, m_sheet != nullptr, [this] { return SheetMayEnd(); },
        std::chrono::steady_clock::now())) {
        case InterruptPolicy::Answer::PressCancel:
            m_behaviour->Press(Press::Cancel);
            return;
        case InterruptPolicy::Answer::PressFinish:
            m_behaviour->Press(Press::Finish);
            return;
        case InterruptPolicy::Answer::Refuse:
            Report(ViewEvent::Kind::InterruptRefused);
            return;
        case InterruptPolicy::Answer::End:
            break;
    }
    EndInterruptedProgram(sig);
}

bool WindowModel::SheetMayEnd() {
    // What Windows asks every top-level window before the session ends.
    return Dispatch(m_sheet, WM_QUERYENDSESSION, 0, 0) != FALSE;
}

}  // namespace portable
