// The portable window model: the windows of the one wizard sheet (the sheet, its buttons, its pages
// and their controls), their message queue on the user-interface thread, and what the view is told.
// The Win32 window functions of platform/portable/win32ui.h are served from here. The store and the
// queues are in windowmodel.cpp, the loop in windowloop.cpp (its decisions in presspolicy.h), the
// view's snapshot in windowsnapshot.cpp, and what each kind of window does in windowclasses.cpp.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/portable/presspolicy.h"
#include "framework/portable/view.h"
#include "platform/win32api.h"

class CWnd;

namespace portable {

struct Window {
    enum class Kind { Sheet, Button, Page, Text, Animation, ProgressBar };
    Kind kind = Kind::Text;
    HWND handle = nullptr;
    HWND parent = nullptr;
    int id = 0;
    std::string text;
    DWORD style = 0;
    bool visible = true;
    bool enabled = true;
    HFONT font = nullptr;
    ControlView::Role role = ControlView::Role::Plain;  // of a text, from its dialog template
    // Progress bar.
    int position = 0;
    int rangeMin = 0;
    int rangeMax = 100;
    bool marqueeRunning = false;
    // Animation control.
    bool clipOpen = false;
    bool playing = false;
    // Sheet.
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    // Page.
    int templateId = 0;
    bool exterior = false;
    std::string headerTitle;
    std::string headerSubtitle;
};

// What the sheet's own window does with the wizard messages; the running sheet provides it.
class SheetBehaviour {
public:
    virtual ~SheetBehaviour() = default;
    virtual LRESULT SheetMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual int ActivePageIndex() const = 0;
    virtual HWND ActivePageWindow() const = 0;
    // A person pressed something; the sheet applies it if that is possible now.
    virtual void Press(Press press) = 0;
};

class WindowModel {
public:
    static WindowModel& Instance();

    HWND Create(Window window);
    // Destroys the window and everything below it.
    void Destroy(HWND handle);
    // Null for a handle that is not a window. The window belongs to the user-interface thread;
    // other threads only read what never changes (kind, parent, id).
    Window* Find(HWND handle);
    HWND Child(HWND parent, int id);
    std::vector<HWND> Children(HWND parent);

    // The one sheet being run, its behaviour, and its user-interface thread.
    void BeginSheet(HWND sheet, SheetBehaviour* behaviour);
    void EndSheet();
    HWND Sheet() const { return m_sheet; }
    bool OnUiThread() const;

    // Messages. Dispatch runs a message at once on the calling thread.
    LRESULT Dispatch(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    bool Post(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    // Sent from another thread: queued, and the caller waits for the result (when `wait`).
    LRESULT SendFromOtherThread(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, bool wait);
    // Runs messages and the person's presses until `done` holds.
    void RunUntil(const std::function<bool()>& done);

    // The message box on the screen, if any, and its answer.
    void OpenMessageBox(const MessageBoxView& box);
    void AnswerMessageBox(int result);
    std::optional<int> MessageBoxAnswer() const { return m_boxAnswer; }
    void CloseMessageBox();
    bool MessageBoxOpen() const { return m_box.has_value(); }

    TaskbarView& Taskbar() { return m_taskbar; }

    // Messages that other threads sent (the workers' notifications): how many, and the longest
    // any of them waited in the queue before it ran.
    struct QueueStatistics {
        unsigned long long crossThreadMessages = 0;
        std::chrono::microseconds longestWait{0};
    };
    QueueStatistics Statistics() const;

    // For tests: sees every message another thread sent, just before it runs.
    using Spy = std::function<void(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)>;
    void SetSpy(Spy spy);
    // The class behaviour of every window kind (DefWindowProcA).
    LRESULT ClassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    // Tells the view, if there is one, of a visible change.
    void Report(ViewEvent::Kind kind, int control = 0, int button = 0, INT_PTR result = 0);
    // Reports a change of the window if the view shows it: the caption, a wizard button, or a
    // control of the active page.
    void ReportChange(const Window& window);
    SheetView Snapshot();

private:
    struct Message {
        HWND handle;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        // Set for a message sent from another thread that waits for its result.
        std::shared_ptr<std::optional<LRESULT>> result;
        bool crossThread = false;
        std::chrono::steady_clock::time_point queuedAt;
    };

    bool TakeMessage(Message* message);
    // Carries out what the interrupt policy answers to an interruption by `sig`.
    void HandleInterrupt(int sig);
    // Whether the sheet lets the program end now (WM_QUERYENDSESSION).
    bool SheetMayEnd();

    mutable std::mutex m_mutex;  // the window map and the queue
    std::condition_variable m_queued;
    std::condition_variable m_answered;
    std::map<HWND, std::unique_ptr<Window>> m_windows;
    std::deque<Message> m_sent;  // from other threads: taken first
    std::deque<Message> m_posted;
    ULONG_PTR m_nextHandle = 0x10000;

    HWND m_sheet = nullptr;
    SheetBehaviour* m_behaviour = nullptr;
    std::thread::id m_uiThread;
    std::optional<MessageBoxView> m_box;
    std::optional<int> m_boxAnswer;
    TaskbarView m_taskbar;
    QueueStatistics m_statistics;
    Spy m_spy;
    InterruptPolicy m_interruptPolicy;
};

}  // namespace portable
