// A window as the framework's classes see it: a handle and the operations on it. Classes derived
// from CWnd handle their own messages by overriding WindowProc (their message map); what they do
// not handle goes to the window's own class (DefWindowProc).
#pragma once

#include "platform/win32api.h"

class CFont;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object that handles the window's messages, or else a framework-owned stand-in for it
    // (valid until the window's dialog ends). Null for no window.
    static CWnd* FromHandle(HWND hWnd);
    // The object attached to the window, or null: never a stand-in.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Makes this object the handler of the window's messages.
    void Attach(HWND hWnd);
    void Detach();

    HWND GetSafeHwnd() const { return m_hWnd; }
    CWnd* GetParent() const;
    CWnd* GetDlgItem(int nID) const;

    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsIconic() const;
    void SetWindowText(LPCSTR lpszString);
    DWORD GetStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd);
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    void GetClientRect(LPRECT lpRect) const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Every message of the window comes here first.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window class's own handling (on Windows, the procedure the window had before the
    // framework took it over).
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Hands one message to WindowProc, remembering it for Default.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Windows build: makes this object the handler of an existing window by replacing the window's
    // procedure; DefWindowProc then calls the one it replaced. Undone when the window is destroyed.
    BOOL SubclassWindow(HWND hWnd);

    // Forgets the stand-ins made for windows that had no object of their own.
    static void DeleteTempMap();

    HWND m_hWnd = nullptr;
    WNDPROC m_pfnSuper = nullptr;

protected:
    // The window class's handling of the message being handled, with its own parameters: for
    // handlers such as OnInitDialog that are not given them.
    LRESULT Default();

private:
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Message* m_pCurrentMessage = nullptr;
};
