// A recorded run as the mixer: the transfers a run log holds at its transfer level, answered again
// in the order they were recorded. The first transfer a program asks that the recording does not
// hold next is named with both sides, and that transfer and every later one fail, so that a replay
// never answers anything the recorded mixer did not.
#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "diagnostics/logrecords.h"
#include "platform/win32api.h"

namespace sim {

struct SimConfig;

struct Recording {
    std::vector<runlog::TransferRecord> transfers;
    std::vector<runlog::MixerIdentity> found;  // each time the program opened the mixer
    std::vector<std::size_t> foundAfter;       // for each of them, the transfers before it
};

// Reads the transfers and the mixers found from a run log; every other event is passed over.
// False, with a message that names `name` (and the line, for a damaged one), for a log that holds
// no transfers or a line that is not whole.
bool ReadRecording(std::istream& log, const std::string& name, Recording* recording,
                   std::string* error);
bool ReadRecording(const std::string& path, Recording* recording, std::string* error);

// Sets the simulated mixer up to replay `recording`: it starts as the first mixer found, comes
// back after "EFWU" as the first update-mode mixer found, and has no busy phases of its own (the
// recorded status reads say when it was busy).
void ConfigureReplay(std::shared_ptr<const Recording> recording, SimConfig* config);

// Where a replay has got to.
class Replay {
public:
    explicit Replay(std::shared_ptr<const Recording> recording);

    // The recorded transfer when it is the one asked (the same direction and report id, and for a
    // set the same bytes), else null: the difference is kept, and every later transfer is refused.
    const runlog::TransferRecord* Next(bool set, const BYTE* report, std::size_t length);

    // "replay: transfer 57 differs: ...", empty while every transfer has been the recorded one.
    const std::string& Difference() const { return m_difference; }
    // Empty when the run asked every recorded transfer, or when it differed; else what it left.
    std::string Unasked() const;

    // Whether the recording found the mixer again after the transfers answered so far: a mixer
    // that restarts after "EFWU" or "BOOT" only did so in the recording if it was found again.
    bool FoundAgain() const;

    // The recorded identity of the mixer under `productId`, or null.
    const runlog::MixerIdentity* Found(WORD productId) const;

private:
    std::shared_ptr<const Recording> m_recording;
    std::size_t m_next = 0;
    std::string m_difference;
};

}  // namespace sim
