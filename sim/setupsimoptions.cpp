#include "sim/setupsimoptions.h"

#include "sim/mixeroptions.h"

namespace sim {

namespace {

using Options = SetupSimOptions;

bool ParseResourceId(const std::string& text, WORD* id) {
    unsigned long value = 0;
    if (!ParseOptionNumber(text, 0xFFFF, &value) ||
        (value != 110 && value != 111 && value != 112)) {
        return false;
    }
    *id = static_cast<WORD>(value);
    return true;
}

bool TakeImage(const std::string& value, Options* options, std::string* error) {
    const std::size_t colon = value.find(':');
    WORD id = 0;
    if (colon == std::string::npos || !ParseResourceId(value.substr(0, colon), &id) ||
        colon + 1 == value.size()) {
        *error = "--image is ID:FILE with ID 110, 111 or 112, not \"" + value + "\"";
        return false;
    }
    options->images.emplace_back(id, value.substr(colon + 1));
    return true;
}

bool TakeNoImage(const std::string& value, Options* options, std::string* error) {
    WORD id = 0;
    if (!ParseResourceId(value, &id)) {
        *error = "--no-image takes 110, 111 or 112, not \"" + value + "\"";
        return false;
    }
    options->removedImages.push_back(id);
    return true;
}

template <typename Field>
Option<Options> Flag(const char* name, const char* help, Field field) {
    return FlagOption<Options>(name, help, field);
}

// A multimedia result that a wave call answers.
Option<Options> Result(const char* name, const char* help, UINT AudioConfig::*field) {
    return {name, "N", help, [name, field](const std::string& value, Options* o, std::string* e) {
                unsigned long number = 0;
                if (!ParseOptionNumber(value, 0xFFFFFFFF, &number)) {
                    *e =
                        std::string(name) + " is a multimedia result number, not \"" + value + "\"";
                    return false;
                }
                o->config.audio.*field = static_cast<UINT>(number);
                return true;
            }};
}

Option<Options> AudioFlag(const char* name, const char* help, bool AudioConfig::*field) {
    return Flag(name, help, [field](Options* o) -> bool& { return o->config.audio.*field; });
}

bool TakeLogPath(const char* name, const std::string& value, bool transfers, Options* o,
                 std::string* error) {
    // The path goes to the wizard in quotes, which it cannot then hold.
    if (value.empty() || value.find('"') != std::string::npos) {
        *error = std::string(name) + " needs a file name without quotes";
        return false;
    }
    o->logPath = value;
    o->logTransfers = transfers;
    return true;
}

OptionTable<Options> MakeTable() {
    OptionTable<Options> table = ForDerived<Options>(MixerOptionTable());
    table.push_back({"The clock and the firmware images (resources 110, 111, 112)",
                     {
                         Flag("--fast", "virtual clock: no real waits, no real wire time",
                              [](Options* o) -> bool& { return o->fast; }),
                         {"--image", "ID:FILE", "use FILE as resource ID", TakeImage},
                         {"--no-image", "ID", "run without resource ID", TakeNoImage},
                     }});
    table.push_back({"Faults of the Windows side",
                     {
                         Flag("--no-preparsed-data", "the HID driver gives no preparsed data",
                              [](Options* o) -> bool& { return o->config.faults.noPreparsedData; }),
                         Flag("--long-path", "the mixer's device path is over 255 characters",
                              [](Options* o) -> bool& { return o->config.faults.longPath; }),
                     }});
    table.push_back(
        {"The USB audio function",
         {
             Result("--wave-open-result", "waveInOpen answers N for the mixer's device",
                    &AudioConfig::openResult),
             Result("--wave-prepare-result", "waveInPrepareHeader answers N",
                    &AudioConfig::prepareResult),
             Result("--wave-add-result", "waveInAddBuffer answers N", &AudioConfig::addResult),
             Result("--wave-start-result", "waveInStart answers N", &AudioConfig::startResult),
             AudioFlag("--no-wave-devices", "the mixer's wave devices are not there yet",
                       &AudioConfig::noWaveDevices),
             AudioFlag("--long-interface-name",
                       "the mixer's audio interface name needs over\n1,024 bytes",
                       &AudioConfig::longInterfaceName),
             AudioFlag("--interface-name-case", "the wave driver reports that name in upper case",
                       &AudioConfig::nameInOtherCase),
         }});
    table.push_back(
        {"Reports",
         {
             Flag("--statistics",
                  "at the end, the workers' notifications and their\nlongest wait in the queue, "
                  "on standard error",
                  [](Options* o) -> bool& { return o->statistics; }),
             Flag("--images",
                  "instead of the wizard, the firmware images as the\nupdate would take them "
                  "(after --image, --no-image);\nexit 11 when it would refuse one",
                  [](Options* o) -> bool& { return o->showImages; }),
             {"--log", "FILE", "write the run log to FILE (as -log=FILE)",
              [](const std::string& value, Options* o, std::string* error) {
                  return TakeLogPath("--log", value, false, o, error);
              }},
             {"--log-transfers", "FILE",
              "the run log with every transfer, which\n--replay can answer (as -logtransfers=FILE)",
              [](const std::string& value, Options* o, std::string* error) {
                  return TakeLogPath("--log-transfers", value, true, o, error);
              }},
             Flag("--version", "the version and the commit of the build",
                  [](Options* o) -> bool& { return o->version; }),
             Flag("--help", "this text (also -h)", [](Options* o) -> bool& { return o->help; }),
         }});
    return table;
}

}  // namespace

const OptionTable<SetupSimOptions>& SetupSimOptionTable() {
    static const OptionTable<SetupSimOptions> table = MakeTable();
    return table;
}

std::string SetupSimUsage(const std::string& wizardSwitches) {
    return "usage: setup-sim [simulator options] [wizard switches]\n\n" + wizardSwitches + "\n" +
           OptionsUsage(SetupSimOptionTable());
}

bool ParseSetupSimOptions(int argc, const char* const* argv, SetupSimOptions* options,
                          std::string* error) {
    options->config.keepTranscript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h") {
            options->help = true;
        } else if (argument.rfind("--", 0) != 0) {
            options->wizardArguments.push_back(argument);
        } else if (!TakeOption(SetupSimOptionTable(), argument, options, error)) {
            return false;
        }
    }
    return CheckReplayOptions(*options, error);
}

}  // namespace sim
