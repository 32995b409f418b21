// The Win32 window functions of win32ui.h, served by the window model: messages sent, posted and
// sent as notifications, and the windows' state.
#include "framework/portable/windowmodel.h"

#include "platform/portable/unsupported.h"

using portable::Window;
using portable::WindowModel;

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowModel& model = WindowModel::Instance();
    if (model.OnUiThread()) {
        return model.Dispatch(hWnd, Msg, wParam, lParam);
    }
    return model.SendFromOtherThread(hWnd, Msg, wParam, lParam, true);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return WindowModel::Instance().Post(hWnd, Msg, wParam, lParam) ? TRUE : FALSE;
}

BOOL SendNotifyMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowModel& model = WindowModel::Instance();
    if (model.Find(hWnd) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (model.OnUiThread()) {
        model.Dispatch(hWnd, Msg, wParam, lParam);
    } else {
        model.SendFromOtherThread(hWnd, Msg, wParam, lParam, false);
    }
    return TRUE;
}

BOOL IsWindow(HWND hWnd) {
    return WindowModel::Instance().Find(hWnd) != nullptr ? TRUE : FALSE;
}

HWND GetParent(HWND hWnd) {
    const Window* window = WindowModel::Instance().Find(hWnd);
    return window != nullptr ? window->parent : nullptr;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    return WindowModel::Instance().Child(hDlg, nIDDlgItem);
}

int GetDlgCtrlID(HWND hWnd) {
    const Window* window = WindowModel::Instance().Find(hWnd);
    return window != nullptr ? window->id : 0;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    Window* window = WindowModel::Instance().Find(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    if (nCmdShow != SW_HIDE && nCmdShow != SW_SHOW) {
        portable::Unsupported("ShowWindow other than SW_SHOW and SW_HIDE");
    }
    const bool wasVisible = window->visible;
    window->visible = nCmdShow == SW_SHOW;
    if (window->visible != wasVisible) {
        WindowModel::Instance().ReportChange(*window);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
    // Visible only when every window above it is.
    WindowModel& model = WindowModel::Instance();
    for (const Window* window = model.Find(hWnd); window != nullptr;
         window = model.Find(window->parent)) {
        if (!window->visible) {
            return FALSE;
        }
        if (window->parent == nullptr) {
            return TRUE;
        }
    }
    return FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    Window* window = WindowModel::Instance().Find(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    const bool wasEnabled = window->enabled;
    window->enabled = bEnable != FALSE;
    if (window->enabled != wasEnabled) {
        WindowModel::Instance().ReportChange(*window);
    }
    return wasEnabled ? FALSE : TRUE;  // nonzero when the window was disabled before
}

BOOL IsWindowEnabled(HWND hWnd) {
    const Window* window = WindowModel::Instance().Find(hWnd);
    return window != nullptr && window->enabled ? TRUE : FALSE;
}

BOOL IsIconic(HWND /*hWnd*/) {
    return FALSE;  // a view never minimises the sheet
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (WindowModel::Instance().Find(hWnd) == nullptr) {
        return FALSE;
    }
    return static_cast<BOOL>(SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
    if (nIndex != GWL_STYLE) {
        portable::Unsupported("GetWindowLongA other than GWL_STYLE");
    }
    const Window* window = WindowModel::Instance().Find(hWnd);
    if (window == nullptr) {
        return 0;
    }
    DWORD style = window->style & ~static_cast<DWORD>(WS_VISIBLE | WS_DISABLED);
    style |= window->visible ? WS_VISIBLE : 0;
    style |= window->enabled ? 0 : WS_DISABLED;
    return static_cast<LONG>(style);
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    if (nIndex != GWL_STYLE) {
        portable::Unsupported("SetWindowLongA other than GWL_STYLE");
    }
    const LONG previous = GetWindowLongA(hWnd, nIndex);
    Window* window = WindowModel::Instance().Find(hWnd);
    if (window == nullptr) {
        return 0;
    }
    const DWORD style = static_cast<DWORD>(dwNewLong);
    window->style = style & ~static_cast<DWORD>(WS_VISIBLE | WS_DISABLED);
    window->visible = (style & WS_VISIBLE) != 0;
    window->enabled = (style & WS_DISABLED) == 0;
    WindowModel::Instance().ReportChange(*window);
    return previous;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (WindowModel::Instance().Find(hWnd) == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    // The size of a Wizard 97 sheet at 96 pixels per inch; nothing here depends on it.
    *lpRect = RECT{0, 0, 497, 385};
    return TRUE;
}

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return WindowModel::Instance().ClassProc(hWnd, Msg, wParam, lParam);
}
