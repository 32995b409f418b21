#include "framework/winthread.h"

#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

namespace {

std::atomic<DWORD> g_threadStartFailure{0};

}  // namespace

void AfxSetThreadStartFailure(DWORD dwError) {
    g_threadStartFailure = dwError;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int /*nPriority*/,
                           UINT /*nStackSize*/, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES /*lpSecurityAttrs*/) {
    // Threads start at once and at normal priority: the only kind the system starts.
    if (pfnThreadProc == nullptr || dwCreateFlags != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (const DWORD failure = g_threadStartFailure; failure != 0) {
        SetLastError(failure);
        return nullptr;
    }
    auto thread = std::make_unique<CWinThread>(pfnThreadProc, pParam);
    CWinThread* started = thread.get();
    try {
        // The thread owns its object and deletes it when its procedure returns.
        std::thread([owned = std::move(thread)]() mutable {
            owned->m_pfnThreadProc(owned->m_pThreadParams);
        }).detach();
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return started;
}
