#include "sim/setupsimoptions.h"

#include <cerrno>
#include <cstdlib>

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
            *error = "unknown option " + name;
            return false;
        }
    }
    return true;
}

}  // namespace sim
