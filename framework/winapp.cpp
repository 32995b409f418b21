#include "framework/winapp.h"

#include <cstring>

namespace {

CWinApp* g_app = nullptr;
char g_emptyCommandLine[] = "";

}  // namespace

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

// The wizard runs its sheet modally from InitInstance and declines the loop; a framework message
// loop for modeless main windows is not needed by any program built on this framework.
int CWinApp::Run() {
    return ExitInstance();
}

CWinApp* AfxGetApp() {
    return g_app;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(nIDResource));
}

void CWinApp::NameAfterExecutable() {
    if (m_pszAppName != nullptr) {
        return;
    }
    char path[sizeof m_szExeName];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return;
    }
    // The file name without its folder and without its extension: "setup" for "setup.exe".
    const char* name = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/') {
            name = c + 1;
        }
    }
    std::size_t end = std::strlen(name);
    if (const char* dot = std::strrchr(name, '.'); dot != nullptr && dot != name) {
        end = static_cast<std::size_t>(dot - name);
    }
    std::memcpy(m_szExeName, name, end);
    m_szExeName[end] = '\0';
    m_pszAppName = m_szExeName;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    app->NameAfterExecutable();
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine != nullptr ? lpCmdLine : g_emptyCommandLine;
    app->m_nCmdShow = nCmdShow;
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}
