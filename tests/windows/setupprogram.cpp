#include "tests/windows/setupprogram.h"

std::string SetupPath() {
    return WinePath(SETUP_EXE);
}

std::string ProgramString(UINT id) {
    static const HMODULE module =
        LoadLibraryExA(SetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char text[1024] = {};
    const int length = module != nullptr ? LoadStringA(module, id, text, sizeof text) : 0;
    return std::string(text, static_cast<std::size_t>(length));
}

std::string SystemText(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, error, 0x400, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result(text != nullptr ? text : "", length);
    LocalFree(text);
    return result;
}
