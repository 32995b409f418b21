// A whole wizard run with the real update against the simulated mixer, on the virtual clock, and
// what the tests read from it: the transcript, the flash, the page's progress.
#pragma once

#include <string>
#include <vector>

#include "sim/simconfig.h"
#include "tests/stages/embeddedimages.h"
#include "tests/support/simulatedsystem.h"
#include "tests/support/wizardharness.h"

class UpdateRun {
public:
    explicit UpdateRun(const sim::SimConfig& config = {}) : system(config) {}

    int Run(const char* commandLine) { return wizard.Run(commandLine); }

    // The commands set on the mixer, in order ("set F0 XXXX" lines).
    std::vector<std::string> Commands() const;
    std::size_t Blocks() const;
    // The distinct positions the update page's progress bar took, in order, from its 0.
    std::vector<int> Positions() const;
    int LastPosition() const;

    SimulatedSystem system;
    WizardHarness wizard;
};
