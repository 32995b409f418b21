#include "tests/windows/runningprogram.h"

#include <chrono>
#include <thread>

namespace {

// How often the tests look again while they wait for a window.
constexpr DWORD kPollMilliseconds = 50;

bool IsClass(HWND hWnd, const char* className) {
    char name[64] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return lstrcmpiA(name, className) == 0;
}

// Looks again until `look` finds a window or the time is up.
template <typename Look>
HWND Poll(DWORD milliseconds, Look look) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (const HWND found = look()) {
            return found;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
    }
}

}  // namespace

RunningProgram::RunningProgram(const std::string& path, const std::string& arguments) {
    std::string commandLine = "\"" + path + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        m_process = process.hProcess;
        m_processId = process.dwProcessId;
    }
}

RunningProgram::~RunningProgram() {
    if (m_process == nullptr) {
        return;
    }
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
}

long RunningProgram::WaitForExit(DWORD milliseconds) {
    DWORD code = 0;
    if (m_process == nullptr || WaitForSingleObject(m_process, milliseconds) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(m_process, &code)) {
        return -1;
    }
    return static_cast<long>(code);
}

HWND RunningProgram::FindDialog(const std::string& caption) const {
    struct Search {
        DWORD processId;
        const std::string& caption;
        HWND found;
    } search{m_processId, caption, nullptr};
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(hWnd, &owner);
            if (owner == s.processId && IsWindowVisible(hWnd) && IsClass(hWnd, "#32770") &&
                WindowText(hWnd) == s.caption) {
                s.found = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND RunningProgram::WaitForDialog(const std::string& caption, DWORD milliseconds) const {
    return Poll(milliseconds, [&] { return FindDialog(caption); });
}

std::string WindowText(HWND hWnd) {
    // WM_GETTEXT, which the system carries across processes; bounded, in case the program hangs.
    char text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &length)) {
        return std::string();
    }
    return std::string(text, static_cast<std::size_t>(length));
}

HWND ActivePageWith(HWND sheet, int controlId) {
    for (HWND child = GetWindow(sheet, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsClass(child, "#32770") && IsWindowVisible(child) &&
            GetDlgItem(child, controlId) != nullptr) {
            return child;
        }
    }
    return nullptr;
}

HWND WaitForActivePageWith(HWND sheet, int controlId, DWORD milliseconds) {
    return Poll(milliseconds, [&] { return ActivePageWith(sheet, controlId); });
}

std::vector<std::string> StaticTexts(HWND hWnd) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(hWnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsClass(child, "Static")) {
            texts.push_back(WindowText(child));
        }
    }
    return texts;
}

bool ClickButton(HWND parent, int buttonId) {
    HWND button = GetDlgItem(parent, buttonId);
    if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) {
        return false;
    }
    // Posted: the click may open a modal loop (a message box) that must not hold the test.
    return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}
