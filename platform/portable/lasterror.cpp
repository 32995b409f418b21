#include "platform/win32api.h"

namespace {

// Windows keeps the last error in the thread's own environment block; a worker's failure must never
// show up as the user-interface thread's error, or the other way round.
thread_local DWORD t_lastError = ERROR_SUCCESS;

}  // namespace

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD dwErrCode) {
    t_lastError = dwErrCode;
}

LONG InterlockedExchange(LONG volatile* Target, LONG Value) {
    // A full barrier, as the Windows intrinsic gives: the answer value between a page and its
    // worker is the only thing they share without a lock.
    return __atomic_exchange_n(Target, Value, __ATOMIC_SEQ_CST);
}

LONG InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange, LONG Comparand) {
    __atomic_compare_exchange_n(Destination, &Comparand, Exchange, false, __ATOMIC_SEQ_CST,
                                __ATOMIC_SEQ_CST);
    return Comparand;  // the value found, whether or not it was replaced
}
