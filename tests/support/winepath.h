// Paths of the build machine as programs under Wine name them.
#pragma once

#include <string>

// The build machine's file system is drive Z:.
std::string WinePath(const std::string& unixPath);
