// setup-sim: the wizard on the portable framework with the simulated Vantor attached, set up by the
// simulator's options (--help lists them).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/portable/windowmodel.h"
#include "platform/portable/clock.h"
#include "platform/portable/devicebackend.h"
#include "platform/portable/moduleresources.h"
#include "programs/carriedimages.h"
#include "programs/programversion.h"
#include "programs/wizardrun.h"
#include "programs/wrongcommandline.h"
#include "sim/setupsimoptions.h"
#include "sim/simulatedvantor.h"

namespace {

const char kProgram[] = "setup-sim";

int WrongCommandLine(const std::string& message) {
    return programs::WrongCommandLine(kProgram, message);
}

bool ReadFile(const std::string& path, std::vector<char>* data) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    data->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

}  // namespace

int main(int argc, char** argv) {
    sim::SetupSimOptions options;
    std::string error;
    if (!sim::ParseSetupSimOptions(argc, argv, &options, &error)) {
        return WrongCommandLine(error);
    }
    if (options.help) {
        std::fputs(sim::SetupSimUsage(programs::WizardSwitchesHelp()).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", programs::ProgramVersion(kProgram).c_str());
        return 0;
    }
    // A mistyped switch would run a wizard the developer did not ask for.
    for (const std::string& word : options.wizardArguments) {
        if (!programs::IsWizardSwitch(word)) {
            return WrongCommandLine("unknown word " + word);
        }
    }

    std::ofstream transcript;
    if (!options.transcriptPath.empty()) {
        transcript.open(options.transcriptPath);
        if (!transcript) {
            return WrongCommandLine("cannot write the transcript to " + options.transcriptPath);
        }
        options.config.transcript = &transcript;
    }
    // The replacement images stay in memory for the whole run, as resources do.
    std::vector<std::vector<char>> images(options.images.size());
    for (std::size_t i = 0; i < options.images.size(); ++i) {
        const auto& [id, path] = options.images[i];
        if (!ReadFile(path, &images[i])) {
            return WrongCommandLine("cannot read the image " + path);
        }
        portable::ReplaceRawResource(10, id, images[i].data(),
                                     static_cast<DWORD>(images[i].size()));
    }
    for (WORD id : options.removedImages) {
        portable::ReplaceRawResource(10, id, nullptr, 0);
    }
    if (options.showImages) {
        std::string report;
        const int status = programs::ReportCarriedImages(&report);
        std::fputs(report.c_str(), stdout);
        return status;
    }
    if (options.fast) {
        portable::UseVirtualClock();
    }

    sim::SimulatedVantor mixer(options.config);
    portable::SetDeviceBackend(&mixer);
    if (!options.logPath.empty()) {
        options.wizardArguments.push_back(
            programs::LogSwitch(options.logPath, options.logTransfers));
    }
    const int status = programs::RunWizard(argv[0], options.wizardArguments);
    portable::SetDeviceBackend(nullptr);
    // Where a replay left the recording, after the wizard's own last line.
    for (const std::string& verdict : {mixer.GetReplayDifference(), mixer.GetReplayUnasked()}) {
        if (!verdict.empty()) {
            std::fprintf(stderr, "%s\n", verdict.c_str());
        }
    }
    if (options.statistics) {
        const auto statistics = portable::WindowModel::Instance().Statistics();
        std::fprintf(stderr, "notifications: %llu\nlongest wait: %.3f ms\n",
                     statistics.crossThreadMessages,
                     static_cast<double>(statistics.longestWait.count()) / 1000.0);
    }
    return status;
}
