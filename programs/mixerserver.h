// What the programs that serve the simulated mixer to other programs (virtual-mixer, usb-mixer)
// do alike around their serving: the signals that end them, the transcript, the replay's verdict
// and the flash written out at the end.
#pragma once

#include <signal.h>

#include <fstream>
#include <string>

#include "sim/serveroptions.h"
#include "sim/simulatedvantor.h"

namespace programs {

// Blocks SIGTERM, SIGINT, SIGHUP (which end the server) and SIGUSR2 (which plugs the mixer in
// again) before any thread starts, so that every thread inherits the block and the main loop alone
// takes them; returns them.
sigset_t BlockServerSignals();

// Opens the transcript the options ask for into `file` and hands it to the mixer's configuration;
// false, with a message, when it cannot be written.
bool OpenTranscript(sim::ServerOptions* options, std::ofstream* file, std::string* error);

// Tells standard error, as "PROGRAM: ...", where a replay differed from its recording and what the
// recording holds that the run did not ask.
void TellReplayVerdicts(const char* program, const sim::SimulatedVantor& mixer);

// Writes the mixer's flash to DIR/code.bin and DIR/logic.bin when the options name a DIR; false,
// with a message, when it cannot.
bool WriteFlashOut(const sim::ServerOptions& options, const sim::SimulatedVantor& mixer,
                   std::string* error);

}  // namespace programs
