// The simulated mixer's options: its state, its faults and its transcript. One definition for every
// program that attaches the simulated mixer (setup-sim, and the virtual mixer that serves it on the
// Linux device interfaces); each program adds options of its own.
#pragma once

#include <string>

#include "sim/simconfig.h"

namespace sim {

// An argument "--name" or "--name=value", taken apart.
struct OptionArgument {
    std::string name;
    bool hasValue = false;
    std::string value;
};
OptionArgument SplitOption(const std::string& argument);

enum class OptionTaken { NotMine, Yes, WrongValue };

// Sets what a mixer option asks for; WrongValue with a message that names the option.
OptionTaken TakeMixerOption(const OptionArgument& option, SimConfig* config,
                            std::string* transcriptPath, std::string* error);

// The lines of --help that list the mixer options.
extern const char MIXER_OPTIONS_USAGE[];

// Helpers for the programs' own options.
bool ParseOptionNumber(const std::string& text, unsigned long max, unsigned long* value);
// False, with a message, when a flag was given a value or an option needs one it was not given.
bool CheckNoValue(const OptionArgument& option, std::string* error);
bool CheckValue(const OptionArgument& option, std::string* error);

}  // namespace sim
