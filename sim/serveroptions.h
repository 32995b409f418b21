// What every program that serves the simulated mixer to other programs takes beside the mixer's
// own options: where its flash goes at the end, the file that says it is serving, and the usual
// --version and --help. The virtual mixer (the hidraw face) and the USB mixer share these.
#pragma once

#include <string>

#include "sim/mixeroptions.h"
#include "sim/optiontable.h"

namespace sim {

struct ServerOptions : SimulatorOptions {
    std::string flashDir;   // empty: the flash is not written out
    std::string readyFile;  // made once the mixer is served
    bool help = false;
    bool version = false;
};

// An option that names a place.
template <typename Options>
Option<Options> PlaceOption(const char* name, const char* value, const char* help,
                            std::string Options::*field) {
    return {name, value, help, [field](const std::string& v, Options* o, std::string*) {
                o->*field = v;
                return true;
            }};
}

template <typename Options>
Option<Options> FlashOption() {
    return PlaceOption<Options>("--flash", "DIR",
                                "at the end, the mixer's flash: DIR/code.bin,\nDIR/logic.bin",
                                &Options::flashDir);
}

template <typename Options>
Option<Options> ReadyOption() {
    return PlaceOption<Options>("--ready", "FILE", "made once the mixer is served",
                                &Options::readyFile);
}

template <typename Options>
Option<Options> VersionOption() {
    return FlagOption<Options>("--version", "the version and the commit of the build",
                               [](Options* o) -> bool& { return o->version; });
}

template <typename Options>
Option<Options> HelpOption() {
    return FlagOption<Options>("--help", "this text", [](Options* o) -> bool& { return o->help; });
}

// Takes every argument as an option of `table`; false, with a message, for one that is unknown or
// whose value is wrong, for anything that is not an option, or for a replay with an option that
// decides what the mixer answers.
template <typename Options>
bool TakeServerOptions(const OptionTable<Options>& table, int argc, const char* const* argv,
                       Options* options, std::string* error) {
    options->config.keepTranscript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0) {
            *error = "\"" + argument + "\" is not an option";
            return false;
        }
        if (!TakeOption(table, argument, options, error)) {
            return false;
        }
    }
    return CheckReplayOptions(*options, error);
}

}  // namespace sim
