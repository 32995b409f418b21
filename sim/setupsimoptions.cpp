#include "sim/setupsimoptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace sim {

const char SETUP_SIM_USAGE[] =
    "usage: setup-sim [simulator options] [wizard switches]\n"
    "\n"
    "Wizard switches: -quiet -usbtest -dantetest -usbtestonly -dantetestonly\n"
    "\n"
    "The mixer and the clock:\n"
    "  --mixer=app|update|update-alt|none  attached in application mode (default), already in\n"
    "                                      update mode as 0x0800 or 0x0804, or not at all\n"
    "  --update-id=0800|0804               identity after \"EFWU\" (default 0804)\n"
    "  --second-mixer                      another mixer, enumerated after the first\n"
    "  --feature-length=N                  feature report length (default 65; 0: none)\n"
    "  --fast                              virtual clock: no real waits, no real wire time\n"
    "  --transcript=FILE                   every transfer and bus event, a line each\n"
    "Firmware images (resources 110, 111, 112):\n"
    "  --image=ID:FILE                     use FILE as resource ID\n"
    "  --no-image=ID                       run without resource ID\n"
    "Faults:\n"
    "  --send-fails=CODE[:N]               sending CODE fails (the first N times; default always)\n"
    "  --status-fails=CODE[:N]             the status reads after CODE fail (N of them; default "
    "all)\n"
    "  --wrong-status=CODE:STATUS          CODE ends with STATUS\n"
    "  --busy=CODE[:N]                     CODE answers busy N more times (default for ever)\n"
    "  --fail-block=K                      the K-th data block of the run fails (from 1)\n"
    "  --unplug-after=K                    the mixer leaves for good after K transfers\n"
    "  --ignore-efwu                       the mixer stays in application mode after \"EFWU\"\n"
    "  --no-preparsed-data                 the HID driver gives no preparsed data\n"
    "  --long-path                         the mixer's device path is over 255 characters\n"
    "The USB audio function and the Dante counter:\n"
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
    "  --dante=R1,R2,...|none              the counter's readings, the last one staying (default\n"
    "                                      10,11); none: the Dante port is not connected\n"
    "  --dante-read-fails=N                the N-th read of the counter fails (from 1)\n"
    "Reports:\n"
    "  --statistics                        at the end, the workers' notifications and their\n"
    "                                      longest wait in the queue, on standard error\n"
    "  --help                              this text\n";

namespace {

bool ParseNumber(const std::string& text, unsigned long max, unsigned long* value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long parsed = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || parsed > max) {
        return false;
    }
    *value = parsed;
    return true;
}

bool ParseResourceId(const std::string& text, WORD* id) {
    unsigned long value = 0;
    if (!ParseNumber(text, 0xFFFF, &value) || (value != 110 && value != 111 && value != 112)) {
        return false;
    }
    *id = static_cast<WORD>(value);
    return true;
}

// CODE or CODE:NUMBER, the number required or optional.
bool ParseCommandFault(const std::string& value, CommandFault::Kind kind, bool needsNumber,
                       CommandFault* fault, std::string* error) {
    const std::size_t colon = value.find(':');
    fault->command = value.substr(0, colon);
    fault->kind = kind;
    if (fault->command.size() != 4) {
        *error = "a command code has four characters: \"" + fault->command + "\"";
        return false;
    }
    if (colon == std::string::npos) {
        if (needsNumber) {
            *error = "\"" + value + "\" needs a value after the command, as CODE:VALUE";
            return false;
        }
        return true;
    }
    unsigned long number = 0;
    if (!ParseNumber(value.substr(colon + 1), 0xFFFFFFFF, &number)) {
        *error = "\"" + value.substr(colon + 1) + "\" is not a number";
        return false;
    }
    if (kind == CommandFault::Kind::WrongStatus) {
        fault->status = static_cast<DWORD>(number);
    } else {
        fault->count = static_cast<unsigned>(number);
    }
    return true;
}

// Numbers or "none" (the port not connected), separated by commas.
bool ParseReadings(const std::string& value, std::vector<DWORD>* readings) {
    readings->clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        const std::string item = value.substr(start, comma - start);
        unsigned long number = 0;
        if (item == "none") {
            readings->push_back(0xFFFFFFFF);
        } else if (ParseNumber(item, 0xFFFFFFFF, &number)) {
            readings->push_back(static_cast<DWORD>(number));
        } else {
            return false;
        }
        if (comma == std::string::npos) {
            return true;
        }
        start = comma + 1;
    }
}

enum class Taken { NotMine, Yes, WrongValue };

// The options of the audio function and the Dante counter.
Taken ParseAudioOption(const std::string& name, bool hasValue, const std::string& value,
                       SimConfig* config, std::string* error) {
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
            if (hasValue) {
                *error = name + " takes no value";
                return Taken::WrongValue;
            }
            config->audio.*field = true;
            return Taken::Yes;
        }
    }
    const auto named = [&name](const auto& table) {
        return std::any_of(std::begin(table), std::end(table),
                           [&name](const auto& entry) { return name == entry.first; });
    };
    if (!named(kFrames) && !named(kResults) && name != "--dante" && name != "--dante-read-fails") {
        return Taken::NotMine;
    }
    if (!hasValue || value.empty()) {
        *error = name + " needs a value, as " + name + "=VALUE";
        return Taken::WrongValue;
    }
    unsigned long number = 0;
    for (const auto& [option, field] : kFrames) {
        if (name == option) {
            // 0xFFFFFFFF is the setting's own "no fault".
            if (!ParseNumber(value, 0xFFFFFFFE, &number)) {
                *error = name + " is a frame of the capture from 0, not \"" + value + "\"";
                return Taken::WrongValue;
            }
            config->audio.*field = static_cast<DWORD>(number);
            return Taken::Yes;
        }
    }
    for (const auto& [option, field] : kResults) {
        if (name == option) {
            if (!ParseNumber(value, 0xFFFFFFFF, &number)) {
                *error = name + " is a multimedia result number, not \"" + value + "\"";
                return Taken::WrongValue;
            }
            config->audio.*field = static_cast<UINT>(number);
            return Taken::Yes;
        }
    }
    if (name == "--dante") {
        if (!ParseReadings(value, &config->dante.readings)) {
            *error = "--dante is a list of readings such as 10,12, or none, not \"" + value + "\"";
            return Taken::WrongValue;
        }
        return Taken::Yes;
    }
    if (!ParseNumber(value, 0xFFFFFFFF, &number) || number == 0) {
        *error = "--dante-read-fails is a count from 1, not \"" + value + "\"";
        return Taken::WrongValue;
    }
    config->dante.failingRead = static_cast<DWORD>(number);
    return Taken::Yes;
}

}  // namespace

bool ParseSetupSimOptions(int argc, const char* const* argv, SetupSimOptions* options,
                          std::string* error) {
    SimConfig& config = options->config;
    config.keepTranscript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0) {
            options->wizardArguments.push_back(argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const bool hasValue = equals != std::string::npos;
        const std::string value = hasValue ? argument.substr(equals + 1) : std::string();
        const auto needValue = [&]() {
            if (!hasValue || value.empty()) {
                *error = name + " needs a value, as " + name + "=VALUE";
                return false;
            }
            return true;
        };
        const auto noValue = [&]() {
            if (hasValue) {
                *error = name + " takes no value";
                return false;
            }
            return true;
        };
        unsigned long number = 0;
        if (name == "--help") {
            if (!noValue()) {
                return false;
            }
            options->help = true;
        } else if (name == "--mixer") {
            if (!needValue()) {
                return false;
            }
            if (value == "app") {
                config.start = MixerStart::Application;
            } else if (value == "update") {
                config.start = MixerStart::Update;
            } else if (value == "update-alt") {
                config.start = MixerStart::UpdateAlt;
            } else if (value == "none") {
                config.start = MixerStart::Absent;
            } else {
                *error = "--mixer is app, update, update-alt or none, not \"" + value + "\"";
                return false;
            }
        } else if (name == "--update-id") {
            if (!needValue()) {
                return false;
            }
            if (value == "0800" || value == "0x0800") {
                config.updateProductId = kProductUpdate;
            } else if (value == "0804" || value == "0x0804") {
                config.updateProductId = kProductUpdateAlt;
            } else {
                *error = "--update-id is 0800 or 0804, not \"" + value + "\"";
                return false;
            }
        } else if (name == "--statistics") {
            if (!noValue()) {
                return false;
            }
            options->statistics = true;
        } else if (name == "--second-mixer" || name == "--fast" || name == "--ignore-efwu" ||
                   name == "--no-preparsed-data" || name == "--long-path") {
            if (!noValue()) {
                return false;
            }
            if (name == "--second-mixer") {
                config.secondMixer = true;
            } else if (name == "--fast") {
                options->fast = true;
            } else if (name == "--ignore-efwu") {
                config.faults.ignoreEfwu = true;
            } else if (name == "--no-preparsed-data") {
                config.faults.noPreparsedData = true;
            } else {
                config.faults.longPath = true;
            }
        } else if (name == "--feature-length") {
            if (!needValue()) {
                return false;
            }
            if (!ParseNumber(value, 0xFFFF, &number)) {
                *error = "--feature-length is a number up to 65535, not \"" + value + "\"";
                return false;
            }
            config.featureReportByteLength = static_cast<WORD>(number);
        } else if (name == "--transcript") {
            if (!needValue()) {
                return false;
            }
            options->transcriptPath = value;
        } else if (name == "--image") {
            if (!needValue()) {
                return false;
            }
            const std::size_t colon = value.find(':');
            WORD id = 0;
            if (colon == std::string::npos || !ParseResourceId(value.substr(0, colon), &id) ||
                colon + 1 == value.size()) {
                *error = "--image is ID:FILE with ID 110, 111 or 112, not \"" + value + "\"";
                return false;
            }
            options->images.emplace_back(id, value.substr(colon + 1));
        } else if (name == "--no-image") {
            WORD id = 0;
            if (!needValue()) {
                return false;
            }
            if (!ParseResourceId(value, &id)) {
                *error = "--no-image takes 110, 111 or 112, not \"" + value + "\"";
                return false;
            }
            options->removedImages.push_back(id);
        } else if (name == "--send-fails" || name == "--status-fails" || name == "--busy" ||
                   name == "--wrong-status") {
            if (!needValue()) {
                return false;
            }
            const CommandFault::Kind kind = name == "--send-fails" ? CommandFault::Kind::SendFails
                                            : name == "--status-fails"
                                                ? CommandFault::Kind::StatusReadsFail
                                            : name == "--busy" ? CommandFault::Kind::Busy
                                                               : CommandFault::Kind::WrongStatus;
            CommandFault fault;
            if (!ParseCommandFault(value, kind, kind == CommandFault::Kind::WrongStatus, &fault,
                                   error)) {
                return false;
            }
            config.faults.commands.push_back(fault);
        } else if (name == "--fail-block" || name == "--unplug-after") {
            if (!needValue()) {
                return false;
            }
            if (!ParseNumber(value, 0xFFFFFFFF, &number) || number == 0) {
                *error = name + " is a count from 1, not \"" + value + "\"";
                return false;
            }
            (name == "--fail-block" ? config.faults.failingBlock
                                    : config.faults.unplugAfterTransfers) =
                static_cast<unsigned>(number);
        } else {
            const Taken taken = ParseAudioOption(name, hasValue, value, &config, error);
            if (taken == Taken::WrongValue) {
                return false;
            }
            if (taken == Taken::NotMine) {
                *error = "unknown option " + name;
                return false;
            }
        }
    }
    return true;
}

}  // namespace sim
