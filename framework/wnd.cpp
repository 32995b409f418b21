#include "framework/wnd.h"

#include <map>
#include <memory>

#include "framework/font.h"

namespace {

// Windows and the objects that handle their messages. Only the user-interface thread reaches it:
// workers talk to their page through its worker site, which posts and looks up no window.
struct HandleMaps {
    std::map<HWND, CWnd*> permanent;
    std::map<HWND, std::unique_ptr<CWnd>> temporary;
};

HandleMaps& Maps() {
    static HandleMaps maps;
    return maps;
}

}  // namespace

CWnd::~CWnd() {
    Detach();
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) {
        return nullptr;
    }
    HandleMaps& maps = Maps();
    if (const auto found = maps.permanent.find(hWnd); found != maps.permanent.end()) {
        return found->second;
    }
    std::unique_ptr<CWnd>& stand_in = maps.temporary[hWnd];
    if (!stand_in) {
        stand_in = std::make_unique<CWnd>();
        stand_in->m_hWnd = hWnd;
    }
    return stand_in.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    HandleMaps& maps = Maps();
    const auto found = maps.permanent.find(hWnd);
    return found != maps.permanent.end() ? found->second : nullptr;
}

void CWnd::Attach(HWND hWnd) {
    HandleMaps& maps = Maps();
    m_hWnd = hWnd;
    maps.permanent[hWnd] = this;
}

void CWnd::Detach() {
    if (m_hWnd == nullptr) {
        return;
    }
    HandleMaps& maps = Maps();
    const auto found = maps.permanent.find(m_hWnd);
    if (found != maps.permanent.end() && found->second == this) {
        maps.permanent.erase(found);
    }
    m_hWnd = nullptr;
}

void CWnd::DeleteTempMap() {
    std::map<HWND, std::unique_ptr<CWnd>>& stand_ins = Maps().temporary;
    for (auto& [hWnd, wnd] : stand_ins) {
        wnd->m_hWnd = nullptr;  // a stand-in never owned a window
    }
    stand_ins.clear();
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    ::SetWindowTextA(m_hWnd, lpszString);
}

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE));
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd) {
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~dwRemove) | dwAdd;
    if (changed == style) {
        return FALSE;
    }
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    return TRUE;
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT,
                reinterpret_cast<WPARAM>(pFont != nullptr ? pFont->GetSafeHandle() : nullptr),
                bRedraw);
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const Message current{message, wParam, lParam};
    const Message* outer = m_pCurrentMessage;  // handlers send messages to their own window too
    m_pCurrentMessage = &current;
    const LRESULT result = WindowProc(message, wParam, lParam);
    m_pCurrentMessage = outer;
    return result;
}

LRESULT CWnd::Default() {
    if (m_pCurrentMessage == nullptr) {
        return 0;
    }
    const Message current = *m_pCurrentMessage;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}
