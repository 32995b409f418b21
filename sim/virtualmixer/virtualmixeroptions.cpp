#include "sim/virtualmixer/virtualmixeroptions.h"

namespace sim {

namespace {

using Options = VirtualMixerOptions;

OptionTable<Options> MakeTable() {
    OptionTable<Options> table = ForDerived<Options>(MixerOptionTable());
    table.push_back(
        {"The virtual mixer",
         {
             FlashOption<Options>(),
             PlaceOption<Options>("--dev", "DIR", "where the hidrawN links go (default /dev)",
                                  &Options::devDir),
             PlaceOption<Options>("--sys-class", "DIR",
                                  "stands for /sys/class/hidraw (the default)",
                                  &Options::sysClassDir),
             PlaceOption<Options>(
                 "--sys-devices", "DIR",
                 "the mixer's directory of /sys/devices (default\n/sys/devices/uprobe)",
                 &Options::sysDevicesDir),
             PlaceOption<Options>(
                 "--sys-sound", "DIR",
                 "stands for /sys/class/sound: the mixer's sound\ncard there (default: none)",
                 &Options::sysSoundDir),
             PlaceOption<Options>(
                 "--capture-fifo", "FIFO",
                 "what the mixer's sound card records, written\ninto FIFO while a reader has it "
                 "open",
                 &Options::captureFifo),
             PlaceOption<Options>("--mount", "DIR",
                                  "where the served files are (default\nDEV/.virtual-mixer)",
                                  &Options::mountDir),
             ReadyOption<Options>(),
             FlagOption<Options>("--other-devices",
                                 "the simulated system's other HID devices that\nopen read-write "
                                 "are served too",
                                 [](Options* o) -> bool& { return o->otherDevices; }),
             FlagOption<Options>("--statistics",
                                 "at the end, the transfers and their times: the\nserver's own "
                                 "and the whole round trip",
                                 [](Options* o) -> bool& { return o->statistics; }),
             VersionOption<Options>(),
             HelpOption<Options>(),
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
    if (!TakeServerOptions(VirtualMixerOptionTable(), argc, argv, options, error)) {
        return false;
    }
    if (options->mountDir.empty()) {
        options->mountDir = options->devDir + "/.virtual-mixer";
    }
    return true;
}

}  // namespace sim
