#include "framework/winapp.h"

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

int AfxWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine != nullptr ? lpCmdLine : g_emptyCommandLine;
    app->m_nCmdShow = nCmdShow;
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}
