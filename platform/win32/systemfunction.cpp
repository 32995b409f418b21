#include "platform/win32/systemfunction.h"

namespace win32 {

namespace {

// The file of each SystemDll, in the enumeration's order.
constexpr const char* kDllFiles[] = {"hid.dll", "winmm.dll"};

}  // namespace

SystemFunction::SystemFunction(SystemDll dll, const char* name) {
    const HMODULE module =
        LoadLibraryExA(kDllFiles[static_cast<int>(dll)], nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    m_address = module != nullptr ? GetProcAddress(module, name) : nullptr;
    m_error = m_address != nullptr ? ERROR_SUCCESS : GetLastError();
}

}  // namespace win32
