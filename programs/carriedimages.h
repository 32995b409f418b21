// What --images shows: the firmware images inside the program, each with its role, the report of
// its header (as fwimage info and RELEASE.md give it) and the update's verdict on it, so that a
// person can see what a program would write before it writes anything.
#pragma once

#include <string>

namespace programs {

// The report of resources 110, 111 and 112 of this program, as the update would load them. Returns
// the exit code: 0 when the update would take every image it carries, ERROR_BAD_FORMAT (11, the
// wizard's code for a damaged image) when it would refuse one or the code image is missing.
int ReportCarriedImages(std::string* report);

}  // namespace programs
