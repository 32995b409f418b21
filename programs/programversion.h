// What the programs say to --version and name in the run log: the release they belong to and the
// commit they were built from, so that a report from the field names the code that ran.
#pragma once

#include <string>

namespace programs {

// "PROGRAM VERSION (commit SHORTHASH)"; the hash is "unknown" for sources built outside their git
// checkout.
std::string ProgramVersion(const char* program);

}  // namespace programs
