// The one answer of every program to a command line it cannot take.
#pragma once

#include <string>

namespace programs {

// Tells standard error "PROGRAM: MESSAGE" and where the options are listed; returns 2, the status
// of a wrong command line.
int WrongCommandLine(const char* program, const std::string& message);

}  // namespace programs
