// A wizard run with the real stages against the simulated mixer, on the virtual clock.
#pragma once

#include <string>

#include "resources/resource.h"
#include "sim/simconfig.h"
#include "tests/support/simulatedsystem.h"
#include "tests/support/wizardharness.h"

class PortTestRun {
public:
    explicit PortTestRun(const sim::SimConfig& config = {}) : system(config) {}

    int Run(const char* commandLine) { return wizard.Run(commandLine); }

    std::string FinishText(int control) const {
        return wizard.LastStateOf(IDD_FINISH).page.Control(control)->text;
    }
    bool Sent(const std::string& line) const {
        for (const std::string& entry : system.Mixer().GetTranscript()) {
            if (entry == line) {
                return true;
            }
        }
        return false;
    }

    SimulatedSystem system;
    WizardHarness wizard;
};
