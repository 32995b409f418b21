// Worker threads. A thread started with AfxBeginThread runs its procedure with its argument and
// deletes its CWinThread object when it ends; nobody waits for it.
#pragma once

#include "platform/win32api.h"

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
        : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
};

// Null when the thread could not be started.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

// A seam for tests: while `dwError` is not 0, AfxBeginThread starts no thread and fails with that
// error, as it does when the system has no room for another thread. 0 lets threads start again.
void AfxSetThreadStartFailure(DWORD dwError);
