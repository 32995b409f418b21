#include "sim/mixeroptions.h"

#include <cerrno>
#include <cstdlib>

namespace sim {

const char MIXER_OPTIONS_USAGE[] =
    "The mixer:\n"
    "  --mixer=app|update|update-alt|none  attached in application mode (default), already in\n"
    "                                      update mode as 0x0800 or 0x0804, or not at all\n"
    "  --update-id=0800|0804               identity after \"EFWU\" (default 0804)\n"
    "  --second-mixer                      another mixer, enumerated after the first\n"
    "  --feature-length=N                  feature report length (default 65; 0: none)\n"
    "  --transcript=FILE                   every transfer and bus event, a line each\n"
    "Faults of the mixer:\n"
    "  --send-fails=CODE[:N]               sending CODE fails (the first N times; default always)\n"
    "  --status-fails=CODE[:N]             the status reads after CODE fail (N of them; default "
    "all)\n"
    "  --wrong-status=CODE:STATUS          CODE ends with STATUS\n"
    "  --busy=CODE[:N]                     CODE answers busy N more times (default for ever)\n"
    "  --fail-block=K                      the K-th data block of the run fails (from 1)\n"
    "  --unplug-after=K                    the mixer leaves for good after K transfers\n"
    "  --ignore-efwu                       the mixer stays in application mode after \"EFWU\"\n"
    "The Dante counter:\n"
    "  --dante=R1,R2,...|none              the counter's readings, the last one staying (default\n"
    "                                      10,11); none: the Dante port is not connected\n"
    "  --dante-read-fails=N                the N-th read of the counter fails (from 1)\n";

OptionArgument SplitOption(const std::string& argument) {
    OptionArgument option;
    const std::size_t equals = argument.find('=');
    option.name = argument.substr(0, equals);
    option.hasValue = equals != std::string::npos;
    option.value = option.hasValue ? argument.substr(equals + 1) : std::string();
    return option;
}

bool ParseOptionNumber(const std::string& text, unsigned long max, unsigned long* value) {
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

bool CheckNoValue(const OptionArgument& option, std::string* error) {
    if (option.hasValue) {
        *error = option.name + " takes no value";
        return false;
    }
    return true;
}

bool CheckValue(const OptionArgument& option, std::string* error) {
    if (!option.hasValue || option.value.empty()) {
        *error = option.name + " needs a value, as " + option.name + "=VALUE";
        return false;
    }
    return true;
}

namespace {

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
    if (!ParseOptionNumber(value.substr(colon + 1), 0xFFFFFFFF, &number)) {
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
        } else if (ParseOptionNumber(item, 0xFFFFFFFF, &number)) {
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

bool TakeMixerState(const OptionArgument& option, SimConfig* config, std::string* error) {
    const std::string& value = option.value;
    if (option.name == "--mixer") {
        if (value == "app") {
            config->start = MixerStart::Application;
        } else if (value == "update") {
            config->start = MixerStart::Update;
        } else if (value == "update-alt") {
            config->start = MixerStart::UpdateAlt;
        } else if (value == "none") {
            config->start = MixerStart::Absent;
        } else {
            *error = "--mixer is app, update, update-alt or none, not \"" + value + "\"";
            return false;
        }
        return true;
    }
    if (value == "0800" || value == "0x0800") {
        config->updateProductId = kProductUpdate;
    } else if (value == "0804" || value == "0x0804") {
        config->updateProductId = kProductUpdateAlt;
    } else {
        *error = "--update-id is 0800 or 0804, not \"" + value + "\"";
        return false;
    }
    return true;
}

bool TakeCommandFault(const OptionArgument& option, SimConfig* config, std::string* error) {
    const std::string& name = option.name;
    const CommandFault::Kind kind = name == "--send-fails"     ? CommandFault::Kind::SendFails
                                    : name == "--status-fails" ? CommandFault::Kind::StatusReadsFail
                                    : name == "--busy"         ? CommandFault::Kind::Busy
                                                               : CommandFault::Kind::WrongStatus;
    CommandFault fault;
    if (!ParseCommandFault(option.value, kind, kind == CommandFault::Kind::WrongStatus, &fault,
                           error)) {
        return false;
    }
    config->faults.commands.push_back(fault);
    return true;
}

// The options with a count from 1.
bool TakeCount(const OptionArgument& option, SimConfig* config, std::string* error) {
    unsigned long number = 0;
    if (!ParseOptionNumber(option.value, 0xFFFFFFFF, &number) || number == 0) {
        *error = option.name + " is a count from 1, not \"" + option.value + "\"";
        return false;
    }
    if (option.name == "--fail-block") {
        config->faults.failingBlock = static_cast<unsigned>(number);
    } else if (option.name == "--unplug-after") {
        config->faults.unplugAfterTransfers = static_cast<unsigned>(number);
    } else {
        config->dante.failingRead = static_cast<DWORD>(number);
    }
    return true;
}

bool TakeValued(const OptionArgument& option, SimConfig* config, std::string* transcriptPath,
                std::string* error) {
    const std::string& name = option.name;
    if (name == "--mixer" || name == "--update-id") {
        return TakeMixerState(option, config, error);
    }
    if (name == "--send-fails" || name == "--status-fails" || name == "--busy" ||
        name == "--wrong-status") {
        return TakeCommandFault(option, config, error);
    }
    if (name == "--fail-block" || name == "--unplug-after" || name == "--dante-read-fails") {
        return TakeCount(option, config, error);
    }
    if (name == "--transcript") {
        *transcriptPath = option.value;
        return true;
    }
    if (name == "--dante") {
        if (!ParseReadings(option.value, &config->dante.readings)) {
            *error = "--dante is a list of readings such as 10,12, or none, not \"" + option.value +
                     "\"";
            return false;
        }
        return true;
    }
    unsigned long number = 0;  // --feature-length
    if (!ParseOptionNumber(option.value, 0xFFFF, &number)) {
        *error = "--feature-length is a number up to 65535, not \"" + option.value + "\"";
        return false;
    }
    config->featureReportByteLength = static_cast<WORD>(number);
    return true;
}

}  // namespace

OptionTaken TakeMixerOption(const OptionArgument& option, SimConfig* config,
                            std::string* transcriptPath, std::string* error) {
    static const char* const kFlags[] = {"--second-mixer", "--ignore-efwu"};
    static const char* const kValued[] = {"--mixer",        "--update-id",  "--feature-length",
                                          "--transcript",   "--send-fails", "--status-fails",
                                          "--wrong-status", "--busy",       "--fail-block",
                                          "--unplug-after", "--dante",      "--dante-read-fails"};
    for (const char* flag : kFlags) {
        if (option.name == flag) {
            if (!CheckNoValue(option, error)) {
                return OptionTaken::WrongValue;
            }
            (option.name == "--second-mixer" ? config->secondMixer : config->faults.ignoreEfwu) =
                true;
            return OptionTaken::Yes;
        }
    }
    for (const char* valued : kValued) {
        if (option.name == valued) {
            const bool taken =
                CheckValue(option, error) && TakeValued(option, config, transcriptPath, error);
            return taken ? OptionTaken::Yes : OptionTaken::WrongValue;
        }
    }
    return OptionTaken::NotMine;
}

}  // namespace sim
