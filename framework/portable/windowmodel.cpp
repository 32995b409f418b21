#include "framework/portable/windowmodel.h"

#include <algorithm>
#include <chrono>
#include <csignal>

#include "framework/frameworkids.h"
#include "framework/portable/gdi.h"
#include "framework/portable/interrupts.h"
#include "framework/wnd.h"

namespace portable {

namespace {

// How long the loop gives a person's view before it looks at the queue again, and how long it
// waits for a worker's message while nobody can act.
constexpr DWORD kPersonWaitMs = 50;
constexpr auto kIdleWait = std::chrono::milliseconds(100);

ButtonView ButtonFrom(const Window* window) {
    ButtonView button;
    if (window != nullptr) {
        button.visible = window->visible;
        button.enabled = window->enabled;
        button.text = window->text;
    } else {
        button.visible = button.enabled = false;
    }
    return button;
}

Press AutomaticPress(const SheetView& sheet) {
    // Input has ended: answer a box, and otherwise end the wizard the way it lets itself be ended.
    if (sheet.messageBox) {
        return Press::Ok;
    }
    if (sheet.cancel.Usable()) {
        return Press::Cancel;
    }
    if (sheet.finish.Usable()) {
        return Press::Finish;
    }
    if (sheet.next.Usable()) {
        return Press::Next;
    }
    return Press::None;
}

}  // namespace

WindowModel& WindowModel::Instance() {
    static WindowModel model;
    return model;
}

HWND WindowModel::Create(Window window) {
    std::lock_guard lock(m_mutex);
    window.handle = reinterpret_cast<HWND>(m_nextHandle);
    m_nextHandle += 4;  // handles are never reused, so a stale one finds nothing
    const HWND handle = window.handle;
    m_windows.emplace(handle, std::make_unique<Window>(std::move(window)));
    return handle;
}

void WindowModel::Destroy(HWND handle) {
    for (HWND child : Children(handle)) {
        Destroy(child);
    }
    if (CWnd* handler = CWnd::FromHandlePermanent(handle)) {
        handler->Detach();
    }
    std::lock_guard lock(m_mutex);
    m_windows.erase(handle);
}

Window* WindowModel::Find(HWND handle) {
    std::lock_guard lock(m_mutex);
    const auto found = m_windows.find(handle);
    return found != m_windows.end() ? found->second.get() : nullptr;
}

HWND WindowModel::Child(HWND parent, int id) {
    std::lock_guard lock(m_mutex);
    for (const auto& [handle, window] : m_windows) {
        if (window->parent == parent && window->id == id) {
            return handle;
        }
    }
    return nullptr;
}

std::vector<HWND> WindowModel::Children(HWND parent) {
    std::lock_guard lock(m_mutex);
    std::vector<HWND> children;
    for (const auto& [handle, window] : m_windows) {
        if (window->parent == parent) {
            children.push_back(handle);  // in order of creation: handles only grow
        }
    }
    return children;
}

void WindowModel::BeginSheet(HWND sheet, SheetBehaviour* behaviour) {
    m_sheet = sheet;
    m_behaviour = behaviour;
    m_uiThread = std::this_thread::get_id();
}

void WindowModel::EndSheet() {
    m_sheet = nullptr;
    m_behaviour = nullptr;
    m_box.reset();
    m_boxAnswer.reset();
    m_taskbar = TaskbarView{};
    std::lock_guard lock(m_mutex);
    // Messages for windows that are gone have nobody to run them.
    m_sent.clear();
    m_posted.clear();
    m_uiThread = std::thread::id();
    m_answered.notify_all();
}

bool WindowModel::OnUiThread() const {
    std::lock_guard lock(m_mutex);
    return m_uiThread == std::thread::id() || m_uiThread == std::this_thread::get_id();
}

LRESULT WindowModel::Dispatch(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Find(handle) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (CWnd* handler = CWnd::FromHandlePermanent(handle)) {
        return handler->HandleMessage(message, wParam, lParam);
    }
    return ClassProc(handle, message, wParam, lParam);
}

bool WindowModel::Post(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Find(handle) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_posted.push_back({handle, message, wParam, lParam, nullptr, false, {}});
    m_queued.notify_all();
    return true;
}

LRESULT WindowModel::SendFromOtherThread(HWND handle, UINT message, WPARAM wParam, LPARAM lParam,
                                         bool wait) {
    if (Find(handle) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    auto result = wait ? std::make_shared<std::optional<LRESULT>>() : nullptr;
    std::unique_lock lock(m_mutex);
    m_sent.push_back(
        {handle, message, wParam, lParam, result, true, std::chrono::steady_clock::now()});
    m_queued.notify_all();
    if (!wait) {
        return 0;
    }
    // Ends when the message has run, or when the sheet has gone and nobody ever will run it.
    m_answered.wait(lock, [&] { return result->has_value() || m_uiThread == std::thread::id(); });
    return result->value_or(0);
}

bool WindowModel::TakeMessage(Message* message) {
    std::lock_guard lock(m_mutex);
    // As on Windows, messages sent from other threads run before any posted one.
    std::deque<Message>& queue = !m_sent.empty() ? m_sent : m_posted;
    if (queue.empty()) {
        return false;
    }
    *message = queue.front();
    queue.pop_front();
    if (message->crossThread) {
        const auto waited = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - message->queuedAt);
        ++m_statistics.crossThreadMessages;
        m_statistics.longestWait = std::max(m_statistics.longestWait, waited);
    }
    return true;
}

WindowModel::QueueStatistics WindowModel::Statistics() const {
    std::lock_guard lock(m_mutex);
    return m_statistics;
}

void WindowModel::SetSpy(Spy spy) {
    m_spy = std::move(spy);
}

bool WindowModel::PersonCanAct() {
    if (m_box) {
        return true;
    }
    const SheetView sheet = Snapshot();
    return sheet.next.Usable() || sheet.finish.Usable() || sheet.cancel.Usable();
}

void WindowModel::HandleInterrupt(int sig) {
    const SheetView sheet = Snapshot();
    if (!m_box && m_behaviour != nullptr) {
        // Where the wizard offers a way out, the interruption takes it: Cancel, or on a page that
        // offers only Finish, where the work is over, Finish, which ends with the outcome's code.
        if (sheet.cancel.Usable()) {
            m_behaviour->Press(Press::Cancel);
            return;
        }
        if (sheet.finish.Usable()) {
            m_behaviour->Press(Press::Finish);
            return;
        }
    }
    // While a worker runs that nobody can stop, or while the sheet objects to ending (the mixer is
    // being updated, even with a box up), the program goes on.
    if (m_sheet != nullptr && (!PersonCanAct() || !SheetMayEnd())) {
        // A lost terminal is nobody's second thought: a hangup never ends the work.
        if (sig == SIGHUP) {
            Report(ViewEvent::Kind::InterruptRefused);
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (!m_interruptRefusedAt || now - *m_interruptRefusedAt > kSecondInterruptWindow) {
            m_interruptRefusedAt = now;
            Report(ViewEvent::Kind::InterruptRefused);
            return;
        }
    }
    EndInterruptedProgram(sig);
}

bool WindowModel::SheetMayEnd() {
    // What Windows asks every top-level window before the session ends.
    return Dispatch(m_sheet, WM_QUERYENDSESSION, 0, 0) != FALSE;
}

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
        if (PersonCanAct()) {
            const SheetView sheet = Snapshot();
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
            view->Idle(Snapshot());
        }
        std::unique_lock lock(m_mutex);
        m_queued.wait_for(lock, kIdleWait, [&] { return !m_sent.empty() || !m_posted.empty(); });
    }
}

void WindowModel::OpenMessageBox(const MessageBoxView& box) {
    m_box = box;
    m_boxAnswer.reset();
    Report(ViewEvent::Kind::MessageBoxShown);
}

void WindowModel::AnswerMessageBox(int result) {
    m_boxAnswer = result;
}

void WindowModel::CloseMessageBox() {
    const INT_PTR result = m_boxAnswer.value_or(0);
    m_box.reset();
    m_boxAnswer.reset();
    Report(ViewEvent::Kind::MessageBoxClosed, 0, 0, result);
}

void WindowModel::Report(ViewEvent::Kind kind, int control, int button, INT_PTR result) {
    View* view = CurrentView();
    const bool aboutBox =
        kind == ViewEvent::Kind::MessageBoxShown || kind == ViewEvent::Kind::MessageBoxClosed;
    // Nothing is shown without a sheet but a box, which may stand alone.
    if (view == nullptr || (m_sheet == nullptr && !aboutBox)) {
        return;
    }
    view->Show(Snapshot(), ViewEvent{kind, control, button, result});
}

void WindowModel::ReportChange(const Window& window) {
    if (m_behaviour == nullptr) {
        return;
    }
    if (window.handle == m_sheet) {
        Report(ViewEvent::Kind::CaptionChanged);
    } else if (window.kind == Window::Kind::Button && window.parent == m_sheet) {
        Report(ViewEvent::Kind::ButtonChanged, 0, window.id);
    } else if (window.parent != nullptr && window.parent == m_behaviour->ActivePageWindow()) {
        Report(ViewEvent::Kind::ControlChanged, window.id);
    }
}

SheetView WindowModel::Snapshot() {
    SheetView sheet;
    // A box may stand without a sheet (before the wizard, or after it).
    sheet.messageBox = m_box;
    sheet.taskbar = m_taskbar;
    const Window* frame = Find(m_sheet);
    if (frame == nullptr) {
        sheet.present = false;
        return sheet;
    }
    sheet.caption = frame->text;
    sheet.systemMenu = (frame->style & WS_SYSMENU) != 0;
    sheet.contextHelp = (frame->style & DS_CONTEXTHELP) != 0;
    sheet.back = ButtonFrom(Find(Child(m_sheet, ID_WIZBACK)));
    sheet.next = ButtonFrom(Find(Child(m_sheet, ID_WIZNEXT)));
    sheet.finish = ButtonFrom(Find(Child(m_sheet, ID_WIZFINISH)));
    sheet.cancel = ButtonFrom(Find(Child(m_sheet, IDCANCEL)));
    if (m_behaviour == nullptr) {
        return sheet;
    }
    sheet.activePage = m_behaviour->ActivePageIndex();
    const Window* page = Find(m_behaviour->ActivePageWindow());
    if (page == nullptr) {
        return sheet;
    }
    sheet.page.templateId = page->templateId;
    sheet.page.exterior = page->exterior;
    sheet.page.headerTitle = page->headerTitle;
    sheet.page.headerSubtitle = page->headerSubtitle;
    for (HWND handle : Children(page->handle)) {
        const Window* window = Find(handle);
        ControlView control;
        control.kind = window->kind == Window::Kind::Animation     ? ControlView::Kind::Animation
                       : window->kind == Window::Kind::ProgressBar ? ControlView::Kind::ProgressBar
                                                                   : ControlView::Kind::Text;
        control.role = window->role;
        control.id = window->id;
        control.text = window->text;
        control.visible = window->visible;
        control.bold = IsBoldFont(window->font);
        control.position = window->position;
        control.marquee = window->marqueeRunning && (window->style & PBS_MARQUEE) != 0;
        control.clipOpen = window->clipOpen;
        control.playing = window->playing;
        sheet.page.controls.push_back(control);
    }
    return sheet;
}

}  // namespace portable
