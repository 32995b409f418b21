// What the Linux programs that run the wizard share: its switches for their help, and the wizard's
// run with its own arguments.
#pragma once

#include <string>
#include <vector>

namespace programs {

// "Wizard switches (as setup.exe takes them):" and a line for each, with what it does.
std::string WizardSwitchesHelp();

// Whether the wizard knows `word` as a switch of its own: one of its switches as it is written, or
// a log switch with its path. The wizard itself only searches its command line for the switches, so
// that "-quite" would run the wizard without quiet mode; the Linux programs refuse such a word.
bool IsWizardSwitch(const std::string& word);

// The wizard's log switch for a path and a level, as the wizard reads it whatever the path holds.
std::string LogSwitch(const std::string& path, bool transfers);

// Runs the wizard with `arguments` after the program's name `argv0` as its command line. Returns
// the POSIX status; the wizard's Windows exit code also goes to *exitCode when it is given.
int RunWizard(const char* argv0, const std::vector<std::string>& arguments,
              int* exitCode = nullptr);

}  // namespace programs
