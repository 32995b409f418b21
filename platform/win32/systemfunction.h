// A function of a system DLL that the program does not import but finds in the system folder when
// it first calls it.
//
// Windows looks for a statically imported DLL in the program's own folder before System32, unless
// the DLL is one of the KnownDLLs. hid.dll and winmm.dll are not, and setup.exe is run from
// wherever it was downloaded to: a hid.dll left there would run inside the signed program and see
// every report. So the program defines those functions itself (platform/win32/hid.cpp, winmm.cpp),
// and each one loads its DLL with LOAD_LIBRARY_SEARCH_SYSTEM32 and calls through.
//
// The simpler-looking ways do not hold:
// - SetDefaultDllDirectories, which WinMain calls for the DLLs that system DLLs load later, comes
//   too late for imports: the loader has resolved them before any of the program's code runs.
// - DependentLoadFlags needs a load configuration directory, which MinGW-w64 10 does not link, and
//   Windows before 10 version 1607 ignores them.
// - MinGW's delay-load helper loads the DLL by its bare name, which is only as safe as the search
//   order at that moment, and raises an exception where a DLL or function cannot be found instead
//   of failing as the call documents; failure hooks for that would be a function each again.
//
// LOAD_LIBRARY_SEARCH_SYSTEM32, like SetDefaultDllDirectories, needs Windows 8, or Windows 7 with
// update KB2533623. Without it the program does not start (SetDefaultDllDirectories is imported)
// rather than run on and report every mixer as missing.
#pragma once

#include <type_traits>

#include "platform/win32api.h"

namespace win32 {

// The DLLs the program finds this way.
enum class SystemDll { Hid, Winmm };

class SystemFunction {
public:
    // Loads `dll` from the system folder only (its own dependencies too) and finds `name` in it.
    // The DLL stays loaded for the rest of the process, as an imported one would.
    SystemFunction(SystemDll dll, const char* name);

    // The function as `Function`, the type of its SDK declaration; null, with the last error set to
    // the reason, when it was not found.
    template <typename Function>
    Function Get() const {
        if (m_address == nullptr) {
            SetLastError(m_error);
            return nullptr;
        }
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(m_address));
    }

    // Calls the function; when it was not found, returns `failure`, the result by which the
    // function itself reports a failure, with the reason as the last error.
    template <typename Function, typename... Arguments>
    std::invoke_result_t<Function, Arguments...> Call(
        std::invoke_result_t<Function, Arguments...> failure, Arguments... arguments) const {
        const Function function = Get<Function>();
        return function != nullptr ? function(arguments...) : failure;
    }

private:
    FARPROC m_address;
    DWORD m_error;  // why the function was not found
};

}  // namespace win32
