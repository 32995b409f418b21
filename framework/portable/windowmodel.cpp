#include "framework/portable/windowmodel.h"

#include <algorithm>
#include <chrono>

#include "framework/frameworkids.h"
#include "framework/wnd.h"

namespace portable {

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

}  // namespace portable
