#include "programs/wizardrun.h"

#include <cstring>

#include "app/commandline.h"
#include "framework/portable/programentry.h"

namespace programs {

std::string WizardSwitchesHelp() {
    constexpr std::size_t kHelpColumn = 20;
    std::string help = "Wizard switches (as setup.exe takes them):\n";
    auto describe = [&help](const WizardSwitch& wizardSwitch) {
        const std::size_t width = std::strlen(wizardSwitch.text);
        help += "  " + std::string(wizardSwitch.text) +
                std::string(width < kHelpColumn ? kHelpColumn - width : 1, ' ') +
                wizardSwitch.help + "\n";
    };
    for (const WizardSwitch& wizardSwitch : WIZARD_SWITCHES) {
        describe(wizardSwitch);
    }
    for (const WizardSwitch& logSwitch : LOG_SWITCHES) {
        describe(logSwitch);
    }
    return help;
}

bool IsWizardSwitch(const std::string& word) {
    for (const WizardSwitch& wizardSwitch : WIZARD_SWITCHES) {
        if (word == wizardSwitch.text) {
            return true;
        }
    }
    return word.rfind(SWITCH_LOG, 0) == 0 || word.rfind(SWITCH_LOG_TRANSFERS, 0) == 0;
}

std::string LogSwitch(const std::string& path, bool transfers) {
    return std::string(transfers ? SWITCH_LOG_TRANSFERS : SWITCH_LOG) + "\"" + path + "\"";
}

int RunWizard(const char* argv0, const std::vector<std::string>& arguments, int* exitCode) {
    std::vector<std::string> words{argv0};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    return portable::RunProgram(static_cast<int>(words.size()), argv.data(), exitCode);
}

}  // namespace programs
