// The system a run happened on, in one line of the run log: Windows with its version (and Wine's,
// where Wine runs it), or the Linux kernel and the distribution.
#pragma once

#include <string>

namespace runlog {

std::string SystemDescription();

}  // namespace runlog
