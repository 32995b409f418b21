// vantor-setup: the wizard on Linux for the mixers attached to this machine, through their hidraw
// nodes. Options that begin with "--" are the program's own (and -h, for --help); everything else
// is the wizard's switches, each of which must be one the wizard knows.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "device/mixerids.h"
#include "hardware/hardwarebackend.h"
#include "platform/portable/devicebackend.h"
#include "platform/portable/globalmutexes.h"
#include "programs/carriedimages.h"
#include "programs/mixerlisting.h"
#include "programs/programversion.h"
#include "programs/wizardrun.h"
#include "programs/wrongcommandline.h"

namespace {

const char kProgram[] = "vantor-setup";

const char kAbout[] =
    "usage: vantor-setup [--log=FILE | --log-transfers=FILE] [wizard switches]\n"
    "       vantor-setup --list | --images | --version | --help | -h\n"
    "\n"
    "Updates the firmware of a Corvena Vantor attached to this machine, and on request tests its\n"
    "USB audio port and its Dante serial port. On a terminal the wizard is drawn and driven with\n"
    "the keys; elsewhere it writes a line per event and runs unattended with -quiet.\n";

const char kOptions[] =
    "Options (each runs alone, instead of the wizard):\n"
    "  --list     every Vantor attached: its mode, firmware version, serial, hidraw node, and\n"
    "             whether you may open it (and if not, the fix); exit 0, or 20 when there is none\n"
    "  --images   the firmware images inside this program: role, size, header entries, CRCs,\n"
    "             and whether the update would accept each; exit 0, or 11 when it refuses one\n"
    "  --version  the program's version and the commit it was built from\n"
    "  --help     this text (also -h)\n"
    "\n"
    "Options that go with the wizard:\n"
    "  --log=FILE            write a log of the run to FILE, to send to support (as -log=FILE)\n"
    "  --log-transfers=FILE  the same log with every transfer, which setup-sim --replay and\n"
    "                        virtual-mixer --replay can answer (as -logtransfers=FILE)\n";

const char kExitCodesAndAccess[] =
    "The last line is \"exit code: N (0xXXXXXXXX)\", the wizard's Windows exit code. The process\n"
    "exits with it where it fits a POSIX status, 255 otherwise:\n"
    "  0     the update (and the chosen tests) succeeded\n"
    "  1223  cancelled\n"
    "  20    no mixer was found; 1167: it left during the update\n"
    "  11    an image inside the program is damaged\n"
    "  31, 1117, 1460  the mixer refused, a transfer failed, or it stayed busy: run again\n"
    "  13, 258  the USB port test failed; 0x80100013: the Dante port test failed\n"
    "  1152  another firmware update runs on this machine; nothing was sent to any mixer\n"
    "  130, 131, 143  interrupted by SIGINT, SIGQUIT or SIGTERM (refused while the mixer is\n"
    "        being updated, until a second one within 5 s; a hangup is always refused there)\n"
    "\n"
    "The mixer's hidraw nodes must be open to you: the package's udev rule\n"
    "(/usr/lib/udev/rules.d/70-vantor-setup.rules) gives them to the person at the seat.\n";

std::string Usage() {
    return std::string(kAbout) + "\n" + kOptions + "\n" + programs::WizardSwitchesHelp() + "\n" +
           kExitCodesAndAccess;
}

// Where every user's wizard takes the update mutex (a tmpfs of the whole machine on Debian).
const char kLockDirectory[] = "/run/lock";

// Standard error names the other update, so that the person can find it.
void ExplainAnotherUpdate() {
    std::string holder = "another process";
    const std::string name = std::string(UPDATE_MUTEX_NAME).substr(std::strlen("Global\\"));
    if (const pid_t pid = portable::GlobalMutexHolder(name); pid > 0) {
        holder = "process " + std::to_string(pid);
        std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
        if (std::string command; std::getline(comm, command) && !command.empty()) {
            holder += " (" + command + ")";
        }
    }
    std::fprintf(stderr,
                 "vantor-setup: another firmware update is running on this machine, in %s; "
                 "nothing was sent to any mixer. Run again when it has ended.\n",
                 holder.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> wizardArguments;
    for (int i = 1; i < argc; ++i) {
        const bool help = std::strcmp(argv[i], "-h") == 0;
        if (std::strncmp(argv[i], "--", 2) != 0 && !help) {
            if (!programs::IsWizardSwitch(argv[i])) {
                return programs::WrongCommandLine(kProgram, std::string("unknown word ") + argv[i]);
            }
            wizardArguments.push_back(argv[i]);
            continue;
        }
        // The log goes with the wizard's run; every other option runs alone.
        const std::string argument = argv[i];
        const bool transfers = argument.rfind("--log-transfers=", 0) == 0;
        if (transfers || argument.rfind("--log=", 0) == 0) {
            const std::string path = argument.substr(argument.find('=') + 1);
            if (path.empty() || path.find('"') != std::string::npos) {
                return programs::WrongCommandLine(
                    kProgram, argument + ": the log needs a file name without quotes");
            }
            wizardArguments.push_back(programs::LogSwitch(path, transfers));
            continue;
        }
        std::string output;
        int status = 0;
        if (help || std::strcmp(argv[i], "--help") == 0) {
            output = Usage();
        } else if (std::strcmp(argv[i], "--version") == 0) {
            output = programs::ProgramVersion(kProgram) + "\n";
        } else if (std::strcmp(argv[i], "--images") == 0) {
            status = programs::ReportCarriedImages(&output);
        } else if (std::strcmp(argv[i], "--list") == 0) {
            status = programs::ListMixers(&output);
        } else {
            return programs::WrongCommandLine(kProgram, std::string("unknown option ") + argv[i]);
        }
        std::fputs(output.c_str(), stdout);
        return status;
    }

    portable::SetGlobalNamespaceDirectory(kLockDirectory);
    hardware::HardwareBackend backend(VENDOR_ID, std::cerr);
    portable::SetDeviceBackend(&backend);
    int exitCode = 0;
    const int status = programs::RunWizard(argv[0], wizardArguments, &exitCode);
    portable::SetDeviceBackend(nullptr);
    if (exitCode == ERROR_SINGLE_INSTANCE_APP) {
        ExplainAnotherUpdate();
    }
    return status;
}
