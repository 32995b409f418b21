// How the simulated mixer is set up: where it starts, how long its work takes on the process clock,
// and which failures it shows.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "device/mixerids.h"
#include "platform/win32api.h"

namespace sim {

struct Recording;

// Durations in milliseconds of the process clock.
struct SimTiming {
    // Every feature transfer costs about one full-speed USB frame on the wire. On the virtual clock
    // this advances time without costing any; 0 makes the transfers free in both.
    DWORD transferMs = 1;
    // After "EFWU" or "BOOT": off the bus until the restarted mixer arrives again.
    DWORD restartMs = 3000;
    // After each arrival: Windows is still installing the device.
    DWORD installationMs = 2500;
    // Busy phases (status 1) that follow a command.
    DWORD codeEraseMs = 250;     // "ERFW"
    DWORD logicEraseMs = 1200;   // "ERFP"
    DWORD passEndMs = 20;        // "WRFI", "VFFI", "WFPI", "VFPI"
    DWORD logicBackupMs = 1500;  // "BKFP"
};

// A failure of one command, chosen by its four-character code.
struct CommandFault {
    enum class Kind {
        SendFails,        // HidD_SetFeature of the command fails; the mixer never sees it
        StatusReadsFail,  // the status reads after the command fail
        WrongStatus,      // the command ends with `status` instead of its own
        Busy,             // the command answers busy (1) for longer
    };
    std::string command;
    Kind kind = Kind::SendFails;
    // SendFails, StatusReadsFail, Busy: how many times (reads for the last two); 0 means always.
    unsigned count = 0;
    DWORD status = 0;  // WrongStatus only
};

struct SimFaults {
    std::vector<CommandFault> commands;
    unsigned failingBlock = 0;          // the K-th data block of the run (from 1) fails; 0: none
    unsigned unplugAfterTransfers = 0;  // the mixer leaves for good after K transfers; 0: never
    // The mixer leaves for good as the K-th data block of the run (from 1) comes; 0: never.
    unsigned unplugAtBlock = 0;
    bool ignoreEfwu = false;       // stays in application mode after "EFWU"
    bool noPreparsedData = false;  // the HID class driver yields no preparsed data
    bool longPath = false;         // the mixer's device path is longer than 255 characters
};

// The mixer's USB audio function and its test signal, and what can go wrong with them.
struct AudioConfig {
    // After "UATE" the signal starts this much later, and runs until "UATD".
    DWORD signalDelayMs = 200;
    WORD signalSeed = 0xACE1;  // the first value of the 0xB400 sequence; never 0
    // Faults of the signal, by frame of the capture buffer (from 0; 0xFFFFFFFF: none).
    bool silence = false;              // the signal never starts
    DWORD dropFrameAt = 0xFFFFFFFF;    // the signal skips one value at this frame
    DWORD repeatFrameAt = 0xFFFFFFFF;  // the signal repeats one value at this frame
    bool channelsDiffer = false;       // the right channel carries something else
    // Faults of the capture.
    bool bufferNeverCompletes = false;
    UINT openResult = 0;  // what waveInOpen answers for the mixer's device (0: it opens)
    UINT prepareResult = 0;
    UINT addResult = 0;
    UINT startResult = 0;
    // Faults of discovery.
    bool noWaveDevices = false;      // Windows has not created the mixer's wave devices yet
    bool longInterfaceName = false;  // the mixer's interface name needs more than 1,024 bytes
    bool nameInOtherCase = false;    // the wave driver reports the name in other letter case
};

// The counter of the mixer's Dante serial link, as "GECF" reads it.
struct DanteConfig {
    // The readings in order; the last one stays. 0xFFFFFFFF: the serial port is not connected.
    std::vector<DWORD> readings{10, 11};
    DWORD failingRead = 0;  // the n-th read of the counter fails (from 1; 0: none)
};

enum class MixerStart {
    Application,  // attached and running its firmware, 0x0801
    Update,       // attached in update mode as 0x0800
    UpdateAlt,    // attached in update mode as 0x0804
    Absent,       // no mixer on the system
};

struct SimConfig {
    MixerStart start = MixerStart::Application;
    // The update-mode identity the mixer comes back as after "EFWU".
    WORD updateProductId = PRODUCT_ID_UPDATE_ALT;
    bool secondMixer = false;  // another mixer in application mode, enumerated after the first
    WORD featureReportByteLength = 65;
    // What each of the two flash images holds: room for the largest image the wizard carries.
    std::size_t flashImageBytes = 1024 * 1024;
    SimTiming timing;
    SimFaults faults;
    AudioConfig audio;
    DanteConfig dante;
    // A recorded run that the first mixer answers as recorded, transfer by transfer (replay.h);
    // null: the mixer answers by its protocol and faults.
    std::shared_ptr<const Recording> replay;
    // Every transfer and bus event as one line: kept for inspection, and written here if given.
    bool keepTranscript = true;
    std::ostream* transcript = nullptr;
};

}  // namespace sim
