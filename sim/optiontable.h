// A simulator program's options as one table: each option's name, the form of its value, its line
// in --help and what it sets. The parser, the --help text and the tests read the same table, so an
// option cannot be parsed without being listed, nor listed without being parsed.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "sim/simconfig.h"

namespace sim {

// What every program that attaches the simulated mixer sets from its options.
struct SimulatorOptions {
    SimConfig config;
    std::string transcriptPath;
    // The options given that decide what the mixer answers, which a replay takes from its
    // recording instead.
    std::vector<std::string> answerOptions;
};

template <typename Options>
struct Option {
    const char* name;   // "--busy"
    const char* value;  // the value's form in --help, "CODE[:N]"; null: a flag, which takes none
    const char* help;   // its text in --help; '\n' goes on in another line
    // Sets what the option asks for from its value ("" for a flag); false with a message.
    std::function<bool(const std::string& value, Options* options, std::string* error)> take;
};

template <typename Options>
struct OptionGroup {
    const char* title;  // "Faults of the mixer"
    std::vector<Option<Options>> options;
};

template <typename Options>
using OptionTable = std::vector<OptionGroup<Options>>;

// A flag: an option without a value that sets the field `field(options)` names.
template <typename Options, typename Field>
Option<Options> FlagOption(const char* name, const char* help, Field field) {
    return {name, nullptr, help, [field](const std::string&, Options* options, std::string*) {
                field(options) = true;
                return true;
            }};
}

// The groups of a table for options of a base type, for a program whose options derive from it.
template <typename Options, typename Base>
OptionTable<Options> ForDerived(const OptionTable<Base>& table) {
    OptionTable<Options> derived;
    for (const OptionGroup<Base>& group : table) {
        OptionGroup<Options> copy{group.title, {}};
        for (const Option<Base>& option : group.options) {
            copy.options.push_back(
                {option.name, option.value, option.help,
                 [take = option.take](const std::string& value, Options* options,
                                      std::string* error) { return take(value, options, error); }});
        }
        derived.push_back(std::move(copy));
    }
    return derived;
}

// The --help lines of a table: a title a group, then an option a line, its help beside it.
template <typename Options>
std::string OptionsUsage(const OptionTable<Options>& table) {
    constexpr std::size_t kHelpColumn = 38;
    std::string usage;
    for (const OptionGroup<Options>& group : table) {
        usage += std::string(group.title) + ":\n";
        for (const Option<Options>& option : group.options) {
            std::string line = std::string("  ") + option.name;
            if (option.value != nullptr) {
                line += std::string("=") + option.value;
            }
            line += std::string(std::max<std::size_t>(kHelpColumn - line.size(), 2), ' ');
            for (const char c : std::string(option.help)) {
                line += c == '\n' ? "\n" + std::string(kHelpColumn, ' ') : std::string(1, c);
            }
            usage += line + "\n";
        }
    }
    return usage;
}

// Takes one "--name" or "--name=value" argument by the table. False, with a message that names
// the option, when the table has no such option or its value is wrong.
template <typename Options>
bool TakeOption(const OptionTable<Options>& table, const std::string& argument, Options* options,
                std::string* error) {
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const bool hasValue = equals != std::string::npos;
    const std::string value = hasValue ? argument.substr(equals + 1) : std::string();
    for (const OptionGroup<Options>& group : table) {
        for (const Option<Options>& option : group.options) {
            if (name != option.name) {
                continue;
            }
            if (option.value == nullptr && hasValue) {
                *error = name + " takes no value";
                return false;
            }
            if (option.value != nullptr && value.empty()) {
                *error = name + " needs a value, as " + name + "=" + option.value;
                return false;
            }
            return option.take(value, options, error);
        }
    }
    *error = "unknown option " + name;
    return false;
}

// A number of at most `max`, in decimal or 0x hexadecimal, without a sign.
bool ParseOptionNumber(const std::string& text, unsigned long max, unsigned long* value);

}  // namespace sim
