// setup-sim's command line: options beginning with "--" belong to the simulator and are taken off;
// everything else is the wizard's command line, unchanged.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sim/optiontable.h"

namespace sim {

struct SetupSimOptions : SimulatorOptions {
    bool fast = false;  // virtual clock: fixed waits and wire time cost nothing real
    std::vector<std::pair<WORD, std::string>> images;  // resource id, file that replaces it
    std::vector<WORD> removedImages;
    std::vector<std::string> wizardArguments;
    bool help = false;
    bool version = false;
    bool showImages = false;  // the firmware images as the update would take them, not the wizard
    bool statistics = false;  // the workers' notifications and their longest wait, on stderr
    std::string logPath;      // the run log, as the wizard's -log= or -logtransfers= writes it
    bool logTransfers = false;
};

// The mixer's options and setup-sim's own, as the parser and --help read them.
const OptionTable<SetupSimOptions>& SetupSimOptionTable();

// False, with a message, for an option that is unknown or whose value is wrong.
bool ParseSetupSimOptions(int argc, const char* const* argv, SetupSimOptions* options,
                          std::string* error);

// What --help prints, with the wizard's switches described as `wizardSwitches` (the wizard is the
// program's, not the simulator's).
std::string SetupSimUsage(const std::string& wizardSwitches);

}  // namespace sim
