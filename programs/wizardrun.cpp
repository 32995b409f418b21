#include "programs/wizardrun.h"

#include <cstring>

#include "app/commandline.h"
#include "framework/portable/programentry.h"

namespace programs {

std::string WizardSwitchesHelp() {
    std::string help = "Wizard switches (as setup.exe takes them):\n";
    for (const WizardSwitch& wizardSwitch : WIZARD_SWITCHES) {
        const std::size_t width = std::strlen(wizardSwitch.text);
        help += "  " + std::string(wizardSwitch.text) +
                std::string(width < 16 ? 16 - width : 1, ' ') + wizardSwitch.help + "\n";
    }
    return help;
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
