// vantor-setup --list: every mixer attached, as the hardware backend lists the hidraw nodes, with
// what support asks first: its mode, its firmware version, its serial, its node, and whether this
// user may open it.
#pragma once

#include <string>

namespace programs {

// A block per node of the mixer's vendor, or a line saying there is none. Returns the exit code:
// 0 when a mixer was found, ERROR_BAD_UNIT (20, the wizard's code for no mixer) otherwise.
int ListMixers(std::string* listing);

}  // namespace programs
