#include "diagnostics/systemdescription.h"

#ifdef _WIN32
#include "platform/win32api.h"
#else
#include <sys/utsname.h>

#include <fstream>
#endif

namespace runlog {

#ifdef _WIN32

namespace {

// Asked of ntdll by name: GetVersionEx answers what the program's manifest lets it see, not what
// runs.
struct OsVersion {
    ULONG size;
    ULONG major;
    ULONG minor;
    ULONG build;
    ULONG platform;
    WCHAR servicePack[128];
};

template <typename Function>
Function NtdllFunction(const char* name) {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll == nullptr ? nullptr
                            : reinterpret_cast<Function>(
                                  reinterpret_cast<void (*)()>(GetProcAddress(ntdll, name)));
}

}  // namespace

std::string SystemDescription() {
    std::string text = "Windows";
    typedef LONG(WINAPI * GetVersionFunction)(OsVersion*);
    if (auto getVersion = NtdllFunction<GetVersionFunction>("RtlGetVersion")) {
        OsVersion version{};
        version.size = sizeof version;
        if (getVersion(&version) == 0) {
            text += " " + std::to_string(version.major) + "." + std::to_string(version.minor) +
                    "." + std::to_string(version.build);
        }
    }
    typedef const char*(CDECL * WineVersionFunction)();
    if (auto wineVersion = NtdllFunction<WineVersionFunction>("wine_get_version")) {
        text += std::string(" under Wine ") + wineVersion();
    }
    return text;
}

#else

std::string SystemDescription() {
    std::string text = "Linux";
    utsname names{};
    if (uname(&names) == 0) {
        text = std::string(names.sysname) + " " + names.release + " " + names.machine;
    }
    std::ifstream release("/etc/os-release");
    for (std::string line; std::getline(release, line);) {
        if (line.compare(0, 12, "PRETTY_NAME=") == 0) {
            std::string name = line.substr(12);
            if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
                name = name.substr(1, name.size() - 2);
            }
            text += ", " + name;
        }
    }
    return text;
}

#endif

}  // namespace runlog
