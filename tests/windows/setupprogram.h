// setup.exe as the tests name and read it: its path under Wine, the texts of its string table and
// the system's text for an error code, which its finish page shows.
#pragma once

#include <string>

#include "platform/win32api.h"
#include "tests/support/winepath.h"

// The program's path as Wine names it: the build machine's file system is drive Z:.
std::string SetupPath();
// A string of the program's own string table, as the program shows it.
std::string ProgramString(UINT id);
// The system's message text for a Win32 error code.
std::string SystemText(DWORD error);
