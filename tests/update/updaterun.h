// A whole wizard run with the real update against the simulated mixer, on the virtual clock, and
// what the tests read from it: the transcript, the flash, the page's progress.
#pragma once

#include <string>
#include <vector>

#include "sim/simconfig.h"
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

// The payload of an embedded image (what follows its header), as the mixer should hold it: filled
// up with zeros to whole 60-byte blocks.
std::vector<BYTE> ExpectedFlash(WORD resourceId);
std::vector<BYTE> ResourceBytes(WORD resourceId);

// Replaces an embedded image for the life of the object (null data: no such image).
class ImageOverride {
public:
    ImageOverride(WORD resourceId, const std::vector<BYTE>* data);
    ~ImageOverride();
    ImageOverride(const ImageOverride&) = delete;
    ImageOverride& operator=(const ImageOverride&) = delete;

private:
    WORD m_id;
    const void* m_original;
    DWORD m_originalSize;
};
