// virtual-mixer: the simulated Vantor served on the Linux device interfaces, as a hidraw node
// through FUSE with the sysfs entries that libudev and Wine read, so that programs that reach HID
// devices through hidraw (Wine's HID stack among them) find the mixer, update it and see it
// restart.
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "programs/mixerserver.h"
#include "programs/programversion.h"
#include "programs/wrongcommandline.h"
#include "sim/simulatedvantor.h"
#include "sim/virtualmixer/capturefeed.h"
#include "sim/virtualmixer/hidrawbus.h"
#include "sim/virtualmixer/hidrawfs.h"
#include "sim/virtualmixer/transferstatistics.h"
#include "sim/virtualmixer/virtualmixeroptions.h"

namespace {

// How often the nodes are brought up to the mixer's arrivals and departures.
constexpr long kRefreshNs = 10'000'000;

int Fail(const std::string& message) {
    std::fprintf(stderr, "virtual-mixer: %s\n", message.c_str());
    return 1;
}

// Serves until a signal of `signals` other than SIGUSR2 arrives; SIGUSR2 plugs the mixer in again
// after it left for good. False, with a message, when serving fails.
bool Serve(sim::SimulatedVantor* mixer, sim::HidrawBus* bus, sim::CaptureFeed* feed,
           const sigset_t& signals, const std::string& readyFile, std::string* error) {
    if (!bus->Refresh(error)) {
        return false;
    }
    if (!readyFile.empty() && !std::ofstream(readyFile)) {
        *error = "cannot make " + readyFile;
        return false;
    }
    const timespec period{0, kRefreshNs};
    bool differenceShown = false;
    for (;;) {
        // A replay's difference is told as the program that asked it is still running.
        const std::string difference = mixer->GetReplayDifference();
        if (!differenceShown && !difference.empty()) {
            std::fprintf(stderr, "virtual-mixer: %s\n", difference.c_str());
            differenceShown = true;
        }
        const int signal = sigtimedwait(&signals, nullptr, &period);
        if (signal == SIGUSR2) {
            mixer->Replug();
        } else if (signal > 0) {
            return true;
        }
        if (!bus->Refresh(error)) {
            return false;
        }
        if (feed != nullptr) {
            feed->Pump();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    sim::VirtualMixerOptions options;
    std::string error;
    if (!sim::ParseVirtualMixerOptions(argc, argv, &options, &error)) {
        return programs::WrongCommandLine("virtual-mixer", error);
    }
    if (options.help) {
        std::fputs(sim::VirtualMixerUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", programs::ProgramVersion("virtual-mixer").c_str());
        return 0;
    }
    const sigset_t signals = programs::BlockServerSignals();
    // A capture's reader that goes away is seen as EPIPE from the write.
    std::signal(SIGPIPE, SIG_IGN);

    std::ofstream transcript;
    if (!programs::OpenTranscript(&options, &transcript, &error)) {
        return Fail(error);
    }
    // The time a transfer takes through FUSE and the reader's driver stands for the wire's.
    options.config.timing.transferMs = 0;
    sim::SimulatedVantor mixer(options.config);

    std::error_code made;
    std::filesystem::create_directories(options.mountDir, made);
    if (made) {
        return Fail("cannot make " + options.mountDir + ": " + made.message());
    }
    bool served = false;
    sim::TransferStatistics statistics;
    {
        sim::HidrawBus bus(&mixer,
                           {options.devDir,
                            options.mountDir,
                            {options.sysClassDir, options.sysDevicesDir, options.sysSoundDir}},
                           options.otherDevices);
        sim::HidrawFs files(&bus, options.statistics ? &statistics : nullptr);
        std::unique_ptr<sim::CaptureFeed> feed;
        if (!options.captureFifo.empty()) {
            feed = std::make_unique<sim::CaptureFeed>(&mixer, options.captureFifo);
        }
        served = files.Mount(options.mountDir, &error) &&
                 Serve(&mixer, &bus, feed.get(), signals, options.readyFile, &error);
    }
    if (!served) {
        return Fail(error);
    }
    if (options.statistics) {
        std::fputs(statistics.Report().c_str(), stderr);
    }
    programs::TellReplayVerdicts("virtual-mixer", mixer);
    if (!programs::WriteFlashOut(options, mixer, &error)) {
        return Fail(error);
    }
    return 0;
}
