// The application object: the one process-wide object of the framework. The program defines one
// global object of a class derived from CWinApp; the entry point finds it through AfxGetApp and
// runs it: InitInstance, then Run (the message loop) or, when InitInstance declines, ExitInstance
// alone.
#pragma once

#include "platform/win32api.h"

class CWnd;

class CWinApp {
public:
    // A null name: the application is named after its executable file.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // Returns the process exit code.
    virtual int ExitInstance();
    virtual int Run();

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine =
        nullptr;  // the command line after the program name, never null once running
    int m_nCmdShow = 0;
    // Named after the executable file, without its extension, unless the constructor was given a
    // name.
    LPCSTR m_pszAppName = nullptr;
    // The window that owns the application's message boxes.
    CWnd* m_pMainWnd = nullptr;

    HICON LoadIcon(UINT nIDResource) const;

    // Gives the application its name when the constructor did not.
    void NameAfterExecutable();

private:
    char m_szExeName[260] = {};
};

CWinApp* AfxGetApp();

// The framework's part of the process entry: runs the application object and returns the process
// exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
