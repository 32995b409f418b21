#include "sim/mixeroptions.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "sim/replay.h"

namespace sim {

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

namespace {

using Options = SimulatorOptions;

// CODE or CODE:NUMBER, the number required or optional.
bool TakeCommandFault(const std::string& value, CommandFault::Kind kind, Options* options,
                      std::string* error) {
    const bool needsNumber = kind == CommandFault::Kind::WrongStatus;
    const std::size_t colon = value.find(':');
    CommandFault fault;
    fault.command = value.substr(0, colon);
    fault.kind = kind;
    if (fault.command.size() != 4) {
        *error = "a command code has four characters: \"" + fault.command + "\"";
        return false;
    }
    if (colon == std::string::npos && needsNumber) {
        *error = "\"" + value + "\" needs a value after the command, as CODE:VALUE";
        return false;
    }
    if (colon != std::string::npos) {
        unsigned long number = 0;
        if (!ParseOptionNumber(value.substr(colon + 1), 0xFFFFFFFF, &number)) {
            *error = "\"" + value.substr(colon + 1) + "\" is not a number";
            return false;
        }
        (needsNumber ? fault.status : fault.count) = static_cast<DWORD>(number);
    }
    options->config.faults.commands.push_back(fault);
    return true;
}

// A count from 1.
bool TakeCount(const char* name, const std::string& value, unsigned* count, std::string* error) {
    unsigned long number = 0;
    if (!ParseOptionNumber(value, 0xFFFFFFFF, &number) || number == 0) {
        *error = std::string(name) + " is a count from 1, not \"" + value + "\"";
        return false;
    }
    *count = static_cast<unsigned>(number);
    return true;
}

// Numbers or "none" (the port not connected), separated by commas.
bool TakeReadings(const std::string& value, Options* options, std::string* error) {
    std::vector<DWORD> readings;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        const std::string item = value.substr(start, comma - start);
        unsigned long number = 0;
        if (item == "none") {
            readings.push_back(0xFFFFFFFF);
        } else if (ParseOptionNumber(item, 0xFFFFFFFF, &number)) {
            readings.push_back(static_cast<DWORD>(number));
        } else {
            *error = "--dante is a list of readings such as 10,12, or none, not \"" + value + "\"";
            return false;
        }
        if (comma == std::string::npos) {
            options->config.dante.readings = readings;
            return true;
        }
        start = comma + 1;
    }
}

bool TakeMixer(const std::string& value, Options* options, std::string* error) {
    static const std::pair<const char*, MixerStart> kStarts[] = {
        {"app", MixerStart::Application},
        {"update", MixerStart::Update},
        {"update-alt", MixerStart::UpdateAlt},
        {"none", MixerStart::Absent},
    };
    for (const auto& [word, start] : kStarts) {
        if (value == word) {
            options->config.start = start;
            return true;
        }
    }
    *error = "--mixer is app, update, update-alt or none, not \"" + value + "\"";
    return false;
}

bool TakeUpdateId(const std::string& value, Options* options, std::string* error) {
    if (value == "0800" || value == "0x0800") {
        options->config.updateProductId = PRODUCT_ID_UPDATE;
    } else if (value == "0804" || value == "0x0804") {
        options->config.updateProductId = PRODUCT_ID_UPDATE_ALT;
    } else {
        *error = "--update-id is 0800 or 0804, not \"" + value + "\"";
        return false;
    }
    return true;
}

bool TakeFeatureLength(const std::string& value, Options* options, std::string* error) {
    unsigned long number = 0;
    if (!ParseOptionNumber(value, 0xFFFF, &number)) {
        *error = "--feature-length is a number up to 65535, not \"" + value + "\"";
        return false;
    }
    options->config.featureReportByteLength = static_cast<WORD>(number);
    return true;
}

// A frame of a capture, from 0; 0xFFFFFFFF is the setting's own "no fault".
Option<Options> Frame(const char* name, const char* help, DWORD AudioConfig::*field) {
    return {name, "N", help, [name, field](const std::string& value, Options* o, std::string* e) {
                unsigned long number = 0;
                if (!ParseOptionNumber(value, 0xFFFFFFFE, &number)) {
                    *e = std::string(name) + " is a frame of the capture from 0, not \"" + value +
                         "\"";
                    return false;
                }
                o->config.audio.*field = static_cast<DWORD>(number);
                return true;
            }};
}

Option<Options> AudioFlag(const char* name, const char* help, bool AudioConfig::*field) {
    return FlagOption<Options>(name, help,
                               [field](Options* o) -> bool& { return o->config.audio.*field; });
}

// A command fault of one kind, as an option's setter.
template <CommandFault::Kind kind>
bool TakeFault(const std::string& value, Options* options, std::string* error) {
    return TakeCommandFault(value, kind, options, error);
}

bool TakeReplay(const std::string& value, Options* options, std::string* error) {
    auto recording = std::make_shared<Recording>();
    if (!ReadRecording(value, recording.get(), error)) {
        return false;
    }
    ConfigureReplay(std::move(recording), &options->config);
    return true;
}

// An option that decides what the mixer answers: noted, as a replay answers as recorded instead.
Option<Options> Answering(Option<Options> option) {
    option.take = [name = option.name, take = std::move(option.take)](
                      const std::string& value, Options* o, std::string* error) {
        o->answerOptions.push_back(name);
        return take(value, o, error);
    };
    return option;
}

OptionGroup<Options> Answering(OptionGroup<Options> group) {
    for (Option<Options>& option : group.options) {
        option = Answering(std::move(option));
    }
    return group;
}

}  // namespace

bool CheckReplayOptions(const SimulatorOptions& options, std::string* error) {
    if (options.config.replay && !options.answerOptions.empty()) {
        *error = "--replay answers as the recorded mixer did: it takes no " +
                 options.answerOptions.front();
        return false;
    }
    return true;
}

const OptionTable<SimulatorOptions>& MixerOptionTable() {
    using Kind = CommandFault::Kind;
    static const OptionTable<SimulatorOptions> table = {
        {"The mixer",
         {
             Answering({"--mixer", "app|update|update-alt|none",
                        "attached in application mode (default),\nalready in update mode as "
                        "0x0800 or 0x0804,\nor not at all",
                        TakeMixer}),
             Answering({"--update-id", "0800|0804", "identity after \"EFWU\" (default 0804)",
                        TakeUpdateId}),
             Answering({"--second-mixer", nullptr, "another mixer, enumerated after the first",
                        [](const std::string&, Options* o, std::string*) {
                            return o->config.secondMixer = true;
                        }}),
             {"--feature-length", "N", "feature report length (default 65; 0: none)",
              TakeFeatureLength},
             {"--transcript", "FILE", "every transfer and bus event, a line each",
              [](const std::string& value, Options* o, std::string*) {
                  o->transcriptPath = value;
                  return true;
              }},
             {"--replay", "LOG",
              "answer as the mixer of LOG did (a run log\nrecorded with --log-transfers), "
              "transfer by\ntransfer; not with --mixer, --update-id,\n--second-mixer, the "
              "mixer's faults or the Dante\ncounter; the test signal stays the simulator's",
              TakeReplay},
         }},
        Answering(OptionGroup<Options>{
            "Faults of the mixer",
            {
                {"--send-fails", "CODE[:N]",
                 "sending CODE fails (the first N times; default\nalways)",
                 TakeFault<Kind::SendFails>},
                {"--status-fails", "CODE[:N]",
                 "the status reads after CODE fail (N of them;\ndefault all)",
                 TakeFault<Kind::StatusReadsFail>},
                {"--wrong-status", "CODE:STATUS", "CODE ends with STATUS",
                 TakeFault<Kind::WrongStatus>},
                {"--busy", "CODE[:N]", "CODE answers busy N more times (default for ever)",
                 TakeFault<Kind::Busy>},
                {"--fail-block", "K", "the K-th data block of the run fails (from 1)",
                 [](const std::string& value, Options* o, std::string* error) {
                     return TakeCount("--fail-block", value, &o->config.faults.failingBlock, error);
                 }},
                {"--unplug-after", "K", "the mixer leaves for good after K transfers",
                 [](const std::string& value, Options* o, std::string* error) {
                     return TakeCount("--unplug-after", value,
                                      &o->config.faults.unplugAfterTransfers, error);
                 }},
                {"--unplug-at-block", "K",
                 "the mixer leaves for good as the K-th data\nblock of the run comes (from 1)",
                 [](const std::string& value, Options* o, std::string* error) {
                     return TakeCount("--unplug-at-block", value, &o->config.faults.unplugAtBlock,
                                      error);
                 }},
                {"--ignore-efwu", nullptr, "the mixer stays in application mode after \"EFWU\"",
                 [](const std::string&, Options* o, std::string*) {
                     return o->config.faults.ignoreEfwu = true;
                 }},
            }}),
        {"The mixer's test signal and capture",
         {
             AudioFlag("--audio-silence", "the test signal never starts", &AudioConfig::silence),
             Frame("--audio-drop-frame", "the signal skips a value at frame N of a capture",
                   &AudioConfig::dropFrameAt),
             Frame("--audio-repeat-frame", "the signal repeats a value at frame N of a capture",
                   &AudioConfig::repeatFrameAt),
             AudioFlag("--audio-channels-differ", "the right channel carries something else",
                       &AudioConfig::channelsDiffer),
             AudioFlag("--audio-never-completes", "a capture buffer is never filled",
                       &AudioConfig::bufferNeverCompletes),
         }},
        Answering(OptionGroup<Options>{
            "The Dante counter",
            {
                {"--dante", "R1,R2,...|none",
                 "the counter's readings, the last one staying\n(default 10,11); none: the Dante "
                 "port is not\nconnected",
                 TakeReadings},
                {"--dante-read-fails", "N", "the N-th read of the counter fails (from 1)",
                 [](const std::string& value, Options* o, std::string* error) {
                     unsigned count = 0;
                     if (!TakeCount("--dante-read-fails", value, &count, error)) {
                         return false;
                     }
                     o->config.dante.failingRead = count;
                     return true;
                 }},
            }}),
    };
    return table;
}

}  // namespace sim
