#include "sim/usbmixer/usbmixeroptions.h"

namespace sim {

namespace {

using Options = UsbMixerOptions;

OptionTable<Options> MakeTable() {
    OptionTable<Options> table = ForDerived<Options>(MixerOptionTable());
    table.push_back(
        {"The USB mixer",
         {
             PlaceOption<Options>("--socket", "PATH",
                                  "the UNIX socket QEMU's usb-redir device\nconnects to",
                                  &Options::socket),
             PlaceOption<Options>("--second-socket", "PATH",
                                  "the second mixer's socket, with --second-mixer",
                                  &Options::secondSocket),
             FlashOption<Options>(),
             ReadyOption<Options>(),
             VersionOption<Options>(),
             HelpOption<Options>(),
         }});
    return table;
}

}  // namespace

const OptionTable<UsbMixerOptions>& UsbMixerOptionTable() {
    static const OptionTable<UsbMixerOptions> table = MakeTable();
    return table;
}

std::string UsbMixerUsage() {
    return "usage: usb-mixer --socket=PATH [options]\n"
           "\n"
           "Serves the simulated Vantor as a USB device over usbredir, on a UNIX socket that\n"
           "QEMU connects to:\n"
           "  -chardev socket,id=usbredir0,path=PATH,reconnect=1\n"
           "  -device usb-redir,chardev=usbredir0,bus=xhci.0\n"
           "until it is ended (SIGTERM, SIGINT or SIGHUP). SIGUSR2 plugs the mixer in again\n"
           "after it left for good (--unplug-after). Needs no root.\n"
           "\n" +
           OptionsUsage(UsbMixerOptionTable());
}

bool ParseUsbMixerOptions(int argc, const char* const* argv, UsbMixerOptions* options,
                          std::string* error) {
    if (!TakeServerOptions(UsbMixerOptionTable(), argc, argv, options, error)) {
        return false;
    }
    if (options->help || options->version) {
        return true;
    }
    if (options->socket.empty()) {
        *error = "--socket=PATH is missing";
        return false;
    }
    if (options->config.secondMixer != !options->secondSocket.empty()) {
        *error = "--second-mixer and --second-socket=PATH go together";
        return false;
    }
    return true;
}

}  // namespace sim
