#include "sim/virtualmixer/virtualmixeroptions.h"

#include "sim/mixeroptions.h"

namespace sim {

namespace {

using Options = VirtualMixerOptions;

// An option that names a place.
Option<Options> Place(const char* name, const char* value, const char* help,
                      std::string Options::*field) {
    return {name, value, help, [field](const std::string& v, Options* o, std::string*) {
                o->*field = v;
                return true;
            }};
}

OptionTable<Options> MakeTable() {
    OptionTable<Options> table = ForDerived<Options>(MixerOptionTable());
    table.push_back(
        {"The virtual mixer",
         {
             Place("--flash", "DIR", "at the end, the mixer's flash: DIR/code.bin,\nDIR/logic.bin",
                   &Options::flashDir),
             Place("--dev", "DIR", "where the hidrawN links go (default /dev)", &Options::devDir),
             Place("--sys-class", "DIR", "stands for /sys/class/hidraw (the default)",
                   &Options::sysClassDir),
             Place("--sys-devices", "DIR",
                   "the mixer's directory of /sys/devices (default\n/sys/devices/uprobe)",
                   &Options::sysDevicesDir),
             Place("--sys-sound", "DIR",
                   "stands for /sys/class/sound: the mixer's sound\ncard there (default: none)",
                   &Options::sysSoundDir),
             Place("--capture-fifo", "FIFO",
                   "what the mixer's sound card records, written\ninto FIFO while a reader has it "
                   "open",
                   &Options::captureFifo),
             Place("--mount", "DIR", "where the served files are (default\nDEV/.virtual-mixer)",
                   &Options::mountDir),
             Place("--ready", "FILE", "made once the mixer is served", &Options::readyFile),
             FlagOption<Options>("--other-devices",
                                 "the simulated system's other HID devices that\nopen read-write "
                                 "are served too",
                                 [](Options* o) -> bool& { return o->otherDevices; }),
             FlagOption<Options>("--statistics",
                                 "at the end, the transfers and their times: the\nserver's own "
                                 "and the whole round trip",
                                 [](Options* o) -> bool& { return o->statistics; }),
             FlagOption<Options>("--version", "the version and the commit of the build",
                                 [](Options* o) -> bool& { return o->version; }),
             FlagOption<Options>("--help", "this text",
                                 [](Options* o) -> bool& { return o->help; }),
         }});
    return table;
}

}  // namespace

const OptionTable<VirtualMixerOptions>& VirtualMixerOptionTable() {
    static const OptionTable<VirtualMixerOptions> table = MakeTable();
    return table;
}

std::string VirtualMixerUsage() {
    return "usage: virtual-mixer [options]\n"
           "\n"
           "Serves the simulated Vantor as a hidraw device until it is ended (SIGTERM or SIGINT).\n"
           "SIGUSR2 plugs the mixer in again after it left for good (--unplug-after).\n"
           "scripts/with-virtual-mixer runs it in a namespace of its own; run by hand, it needs\n"
           "root, FUSE and a /dev and sysfs directories that nothing else uses.\n"
           "\n" +
           OptionsUsage(VirtualMixerOptionTable());
}

bool ParseVirtualMixerOptions(int argc, const char* const* argv, VirtualMixerOptions* options,
                              std::string* error) {
    options->config.keepTranscript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0) {
            *error = "\"" + argument + "\" is not an option";
            return false;
        }
        if (!TakeOption(VirtualMixerOptionTable(), argument, options, error)) {
            return false;
        }
    }
    if (!CheckReplayOptions(*options, error)) {
        return false;
    }
    if (options->mountDir.empty()) {
        options->mountDir = options->devDir + "/.virtual-mixer";
    }
    return true;
}

}  // namespace sim
