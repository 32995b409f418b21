// How a portable build of a Windows program starts and ends as a POSIX process.
#pragma once

#include <string>

namespace portable {

// The Windows command line after the program name: the arguments joined by single spaces, each
// with a space or a tab in quotes.
std::string JoinCommandLine(int argc, const char* const* argv);

// A POSIX exit status has 8 bits: 0 stays success, 1 to 255 pass unchanged, and every other code
// (larger, or negative as a signed 32-bit value) becomes 255 so that no failure reads as success.
int PosixExitStatus(int exitCode);

// "exit code: <decimal> (0x<8 hex digits>)", the full 32-bit code as Windows would report it.
std::string ExitCodeLine(int exitCode);

}  // namespace portable
