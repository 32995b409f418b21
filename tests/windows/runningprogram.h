// A program started by a test and the windows it shows, looked at from outside its process the way
// a person (or an accessibility tool) would: by window class, caption, control id and text.
#pragma once

#include <string>
#include <vector>

#include "platform/win32api.h"

class RunningProgram {
public:
    // Starts `path` with the command line text `arguments`; Started() tells whether it did.
    RunningProgram(const std::string& path, const std::string& arguments);
    ~RunningProgram();  // ends the program if it still runs
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return m_process != nullptr; }
    // The exit code, or -1 when the program has not ended within `milliseconds`.
    long WaitForExit(DWORD milliseconds);

    // The program's visible top-level dialog whose caption is `caption`, or null.
    HWND FindDialog(const std::string& caption) const;
    // Waits up to `milliseconds` for that dialog; null if it did not come.
    HWND WaitForDialog(const std::string& caption, DWORD milliseconds) const;

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
};

// What the tests read and do to a window of another process.
std::string WindowText(HWND hWnd);
// The visible child dialog of a property sheet that holds a control with id `controlId`: the
// sheet's active page of that kind.
HWND ActivePageWith(HWND sheet, int controlId);
HWND WaitForActivePageWith(HWND sheet, int controlId, DWORD milliseconds);
// The texts of a window's static controls, in order.
std::vector<std::string> StaticTexts(HWND hWnd);
// Clicks a button as a person would: only a visible, enabled button takes the click.
bool ClickButton(HWND parent, int buttonId);
