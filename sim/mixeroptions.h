// The simulated mixer's options: its state, its faults and its transcript. One table for every
// program that attaches the simulated mixer (setup-sim, and the virtual mixer that serves it on the
// Linux device interfaces); each program adds options of its own.
#pragma once

#include "sim/optiontable.h"

namespace sim {

const OptionTable<SimulatorOptions>& MixerOptionTable();

// After the options are taken: false, with a message, when --replay came with an option that
// decides what the mixer answers.
bool CheckReplayOptions(const SimulatorOptions& options, std::string* error);

}  // namespace sim
