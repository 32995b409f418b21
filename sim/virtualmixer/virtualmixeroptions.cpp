#include "sim/virtualmixer/virtualmixeroptions.h"

#include <utility>

#include "sim/mixeroptions.h"

namespace sim {

namespace {

const char kUsageHead[] =
    "usage: virtual-mixer [options]\n"
    "\n"
    "Serves the simulated Vantor as a hidraw device until it is ended (SIGTERM or SIGINT).\n"
    "SIGUSR2 plugs the mixer in again after it left for good (--unplug-after).\n"
    "scripts/with-virtual-mixer runs it in a namespace of its own; run by hand, it needs root,\n"
    "FUSE and a /dev and sysfs directories that nothing else uses.\n"
    "\n";

const char kUsageOwn[] =
    "The virtual mixer:\n"
    "  --flash=DIR                         at the end, the mixer's flash: DIR/code.bin, "
    "DIR/logic.bin\n"
    "  --dev=DIR                           where the hidrawN links go (default /dev)\n"
    "  --sys-class=DIR                     stands for /sys/class/hidraw (the default)\n"
    "  --sys-devices=DIR                   the mixer's directory of /sys/devices (default\n"
    "                                      /sys/devices/uprobe)\n"
    "  --mount=DIR                         where the served files are (default "
    "DEV/.virtual-mixer)\n"
    "  --ready=FILE                        made once the mixer is served\n"
    "  --statistics                        at the end, the transfers and their times: the\n"
    "                                      server's own and the whole round trip\n"
    "  --help                              this text\n";

}  // namespace

const std::string VIRTUAL_MIXER_USAGE = std::string(kUsageHead) + MIXER_OPTIONS_USAGE + kUsageOwn;

bool ParseVirtualMixerOptions(int argc, const char* const* argv, VirtualMixerOptions* options,
                              std::string* error) {
    options->config.keepTranscript = false;
    const std::pair<const char*, std::string VirtualMixerOptions::*> places[] = {
        {"--flash", &VirtualMixerOptions::flashDir},
        {"--dev", &VirtualMixerOptions::devDir},
        {"--sys-class", &VirtualMixerOptions::sysClassDir},
        {"--sys-devices", &VirtualMixerOptions::sysDevicesDir},
        {"--mount", &VirtualMixerOptions::mountDir},
        {"--ready", &VirtualMixerOptions::readyFile},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0) {
            *error = "\"" + argument + "\" is not an option";
            return false;
        }
        const OptionArgument option = SplitOption(argument);
        const OptionTaken taken =
            TakeMixerOption(option, &options->config, &options->transcriptPath, error);
        if (taken == OptionTaken::WrongValue) {
            return false;
        }
        if (taken == OptionTaken::Yes) {
            continue;
        }
        if (option.name == "--help" || option.name == "--statistics") {
            if (!CheckNoValue(option, error)) {
                return false;
            }
            (option.name == "--help" ? options->help : options->statistics) = true;
            continue;
        }
        bool known = false;
        for (const auto& [name, field] : places) {
            if (option.name == name) {
                if (!CheckValue(option, error)) {
                    return false;
                }
                options->*field = option.value;
                known = true;
            }
        }
        if (!known) {
            *error = "unknown option " + option.name;
            return false;
        }
    }
    if (options->mountDir.empty()) {
        options->mountDir = options->devDir + "/.virtual-mixer";
    }
    return true;
}

}  // namespace sim
