// Kernel, multimedia-timer, message-text and byte-order services for builds without Windows.
#pragma once

#include <arpa/inet.h>  // ntohl: the same conversion Windows Sockets provides

#include <cstdarg>

#include "platform/portable/win32types.h"

// The last error is kept per thread, as on Windows.
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// Copies at most iMaxLength - 1 characters and always ends the copy with a NUL.
LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength);

LONG InterlockedExchange(LONG volatile* Target, LONG Value);
LONG InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange, LONG Comparand);

// A critical section may be entered again by the thread that owns it.
struct CRITICAL_SECTION {
    void* impl;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;
void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// Both read the one process clock (platform/portable/clock.h): real time by default, virtual time
// when a test or the simulator asks for it.
void Sleep(DWORD dwMilliseconds);
DWORD timeGetTime();

// Message texts of the system's error codes. Supported: FORMAT_MESSAGE_FROM_SYSTEM with
// FORMAT_MESSAGE_IGNORE_INSERTS, into a caller's buffer or one allocated with LocalAlloc.
DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                     LPSTR lpBuffer, DWORD nSize, va_list* Arguments);
HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes);
HLOCAL LocalFree(HLOCAL hMem);
