#include "tests/support/winepath.h"

std::string WinePath(const std::string& unixPath) {
    std::string path = unixPath;
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}
