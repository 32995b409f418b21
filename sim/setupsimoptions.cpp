#include "sim/setupsimoptions.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace sim {

namespace {

const char kUsageHead[] =
    "usage: setup-sim [simulator options] [wizard switches]\n"
    "\n"
    "Wizard switches: -quiet -usbtest -dantetest -usbtestonly -dantetestonly\n"
    "\n";

const char kUsageOwn[] =
    "The clock and the firmware images (resources 110, 111, 112):\n"
    "  --fast                              virtual clock: no real waits, no real wire time\n"
    "  --image=ID:FILE                     use FILE as resource ID\n"
    "  --no-image=ID                       run without resource ID\n"
    "Faults of the Windows side:\n"
    "  --no-preparsed-data                 the HID driver gives no preparsed data\n"
    "  --long-path                         the mixer's device path is over 255 characters\n"
    "The USB audio function:\n"
    "  --audio-silence                     the test signal never starts\n"
    "  --audio-drop-frame=N                the signal skips a value at frame N of a capture\n"
    "  --audio-repeat-frame=N              the signal repeats a value at frame N of a capture\n"
    "  --audio-channels-differ             the right channel carries something else\n"
    "  --audio-never-completes             a capture buffer is never filled\n"
    "  --wave-open-result=N                waveInOpen answers N for the mixer's device\n"
    "  --wave-prepare-result=N             waveInPrepareHeader answers N\n"
    "  --wave-add-result=N                 waveInAddBuffer answers N\n"
    "  --wave-start-result=N               waveInStart answers N\n"
    "  --no-wave-devices                   the mixer's wave devices are not there yet\n"
    "  --long-interface-name               the mixer's audio interface name needs over 1,024 "
    "bytes\n"
    "  --interface-name-case               the wave driver reports that name in upper case\n"
    "Reports:\n"
    "  --statistics                        at the end, the workers' notifications and their\n"
    "                                      longest wait in the queue, on standard error\n"
    "  --help                              this text\n";

bool ParseResourceId(const std::string& text, WORD* id) {
    unsigned long value = 0;
    if (!ParseOptionNumber(text, 0xFFFF, &value) ||
        (value != 110 && value != 111 && value != 112)) {
        return false;
    }
    *id = static_cast<WORD>(value);
    return true;
}

// The options of the USB audio function.
OptionTaken TakeAudioOption(const OptionArgument& option, SimConfig* config, std::string* error) {
    const std::string& name = option.name;
    const std::string& value = option.value;
    static const std::pair<const char*, bool AudioConfig::*> kFlags[] = {
        {"--audio-silence", &AudioConfig::silence},
        {"--audio-channels-differ", &AudioConfig::channelsDiffer},
        {"--audio-never-completes", &AudioConfig::bufferNeverCompletes},
        {"--no-wave-devices", &AudioConfig::noWaveDevices},
        {"--long-interface-name", &AudioConfig::longInterfaceName},
        {"--interface-name-case", &AudioConfig::nameInOtherCase},
    };
    static const std::pair<const char*, DWORD AudioConfig::*> kFrames[] = {
        {"--audio-drop-frame", &AudioConfig::dropFrameAt},
        {"--audio-repeat-frame", &AudioConfig::repeatFrameAt},
    };
    static const std::pair<const char*, UINT AudioConfig::*> kResults[] = {
        {"--wave-open-result", &AudioConfig::openResult},
        {"--wave-prepare-result", &AudioConfig::prepareResult},
        {"--wave-add-result", &AudioConfig::addResult},
        {"--wave-start-result", &AudioConfig::startResult},
    };
    for (const auto& [flag, field] : kFlags) {
        if (name == flag) {
            if (!CheckNoValue(option, error)) {
                return OptionTaken::WrongValue;
            }
            config->audio.*field = true;
            return OptionTaken::Yes;
        }
    }
    const auto named = [&name](const auto& table) {
        return std::any_of(std::begin(table), std::end(table),
                           [&name](const auto& entry) { return name == entry.first; });
    };
    if (!named(kFrames) && !named(kResults)) {
        return OptionTaken::NotMine;
    }
    if (!CheckValue(option, error)) {
        return OptionTaken::WrongValue;
    }
    unsigned long number = 0;
    for (const auto& [frameOption, field] : kFrames) {
        if (name == frameOption) {
            // 0xFFFFFFFF is the setting's own "no fault".
            if (!ParseOptionNumber(value, 0xFFFFFFFE, &number)) {
                *error = name + " is a frame of the capture from 0, not \"" + value + "\"";
                return OptionTaken::WrongValue;
            }
            config->audio.*field = static_cast<DWORD>(number);
            return OptionTaken::Yes;
        }
    }
    for (const auto& [resultOption, field] : kResults) {
        if (name == resultOption) {
            if (!ParseOptionNumber(value, 0xFFFFFFFF, &number)) {
                *error = name + " is a multimedia result number, not \"" + value + "\"";
                return OptionTaken::WrongValue;
            }
            config->audio.*field = static_cast<UINT>(number);
            return OptionTaken::Yes;
        }
    }
    return OptionTaken::NotMine;
}

// setup-sim's own options beside the mixer's and the audio function's.
OptionTaken TakeOwnOption(const OptionArgument& option, SetupSimOptions* options,
                          std::string* error) {
    const std::string& name = option.name;
    const std::string& value = option.value;
    if (name == "--help" || name == "--statistics" || name == "--fast" ||
        name == "--no-preparsed-data" || name == "--long-path") {
        if (!CheckNoValue(option, error)) {
            return OptionTaken::WrongValue;
        }
        (name == "--help"                ? options->help
         : name == "--statistics"        ? options->statistics
         : name == "--fast"              ? options->fast
         : name == "--no-preparsed-data" ? options->config.faults.noPreparsedData
                                         : options->config.faults.longPath) = true;
        return OptionTaken::Yes;
    }
    if (name != "--image" && name != "--no-image") {
        return OptionTaken::NotMine;
    }
    if (!CheckValue(option, error)) {
        return OptionTaken::WrongValue;
    }
    WORD id = 0;
    if (name == "--no-image") {
        if (!ParseResourceId(value, &id)) {
            *error = "--no-image takes 110, 111 or 112, not \"" + value + "\"";
            return OptionTaken::WrongValue;
        }
        options->removedImages.push_back(id);
        return OptionTaken::Yes;
    }
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos || !ParseResourceId(value.substr(0, colon), &id) ||
        colon + 1 == value.size()) {
        *error = "--image is ID:FILE with ID 110, 111 or 112, not \"" + value + "\"";
        return OptionTaken::WrongValue;
    }
    options->images.emplace_back(id, value.substr(colon + 1));
    return OptionTaken::Yes;
}

}  // namespace

const std::string SETUP_SIM_USAGE = std::string(kUsageHead) + MIXER_OPTIONS_USAGE + kUsageOwn;

bool ParseSetupSimOptions(int argc, const char* const* argv, SetupSimOptions* options,
                          std::string* error) {
    options->config.keepTranscript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0) {
            options->wizardArguments.push_back(argument);
            continue;
        }
        const OptionArgument option = SplitOption(argument);
        OptionTaken taken =
            TakeMixerOption(option, &options->config, &options->transcriptPath, error);
        if (taken == OptionTaken::NotMine) {
            taken = TakeAudioOption(option, &options->config, error);
        }
        if (taken == OptionTaken::NotMine) {
            taken = TakeOwnOption(option, options, error);
        }
        if (taken == OptionTaken::NotMine) {
            *error = "unknown option " + option.name;
        }
        if (taken != OptionTaken::Yes) {
            return false;
        }
    }
    return true;
}

}  // namespace sim
