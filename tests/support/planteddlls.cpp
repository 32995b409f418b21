#include "tests/support/planteddlls.h"

#include "platform/win32api.h"
#include "tests/support/winepath.h"

std::string PlantedDll(const std::string& file) {
    return WinePath(std::string(PLANTED_DLL_DIR) + "/" + file);
}

std::string MarkerOf(const std::string& dllPath) {
    return dllPath + ".loaded";
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
