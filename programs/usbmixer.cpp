// usb-mixer: the simulated Vantor served as a USB device over usbredir, on a UNIX socket that
// QEMU's usb-redir device connects to, so that a guest's own kernel (its USB, HID and audio
// drivers) finds the mixer, updates it and sees it restart. Needs no root.
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "programs/mixerserver.h"
#include "programs/programversion.h"
#include "programs/wrongcommandline.h"
#include "sim/simulatedvantor.h"
#include "sim/usbmixer/redirdevice.h"
#include "sim/usbmixer/redirlistener.h"
#include "sim/usbmixer/usbmixeroptions.h"

namespace {

// How often the loop wakes: a millisecond while audio streams (a packet a millisecond), a few while
// a client is served (the mixer's restarts are seen that soon), and never while none is.
constexpr int kStreamingMs = 1;
constexpr int kServingMs = 5;

int Fail(const std::string& message) {
    std::fprintf(stderr, "usb-mixer: %s\n", message.c_str());
    return 1;
}

// One mixer, its socket and the device it is served as.
struct Served {
    sim::RedirListener listener;
    std::unique_ptr<sim::RedirDevice> device;
};

// Serves until a signal other than SIGUSR2 arrives on `signalFd`; SIGUSR2 plugs the mixer in again
// after it left for good.
void Serve(sim::SimulatedVantor* mixer, std::vector<Served>* served, int signalFd) {
    bool differenceShown = false;
    for (;;) {
        std::vector<pollfd> fds{{signalFd, POLLIN, 0}};
        int wakeMs = -1;
        for (const Served& s : *served) {
            fds.push_back({s.listener.Fd(), POLLIN, 0});
            if (s.device->ClientFd() >= 0) {
                fds.push_back({s.device->ClientFd(), POLLIN, 0});
                if (s.device->Streaming()) {
                    wakeMs = kStreamingMs;
                } else if (wakeMs == -1) {
                    wakeMs = kServingMs;
                }
            }
        }
        poll(fds.data(), fds.size(), wakeMs);
        signalfd_siginfo signal{};
        if (read(signalFd, &signal, sizeof signal) == sizeof signal) {
            if (signal.ssi_signo != SIGUSR2) {
                return;
            }
            mixer->Replug();
        }
        for (Served& s : *served) {
            // QEMU connects again after it lost the connection: the newest client is the one.
            for (int client = s.listener.Accept(); client >= 0; client = s.listener.Accept()) {
                s.device->Attach(client);
            }
            s.device->Pump();
        }
        // A replay's difference is told as the program that asked it is still running.
        const std::string difference = mixer->GetReplayDifference();
        if (!differenceShown && !difference.empty()) {
            std::fprintf(stderr, "usb-mixer: %s\n", difference.c_str());
            differenceShown = true;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    sim::UsbMixerOptions options;
    std::string error;
    if (!sim::ParseUsbMixerOptions(argc, argv, &options, &error)) {
        return programs::WrongCommandLine("usb-mixer", error);
    }
    if (options.help) {
        std::fputs(sim::UsbMixerUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", programs::ProgramVersion("usb-mixer").c_str());
        return 0;
    }
    const sigset_t signals = programs::BlockServerSignals();
    const int signalFd = signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
    if (signalFd < 0) {
        return Fail("cannot take signals");
    }
    std::ofstream transcript;
    if (!programs::OpenTranscript(&options, &transcript, &error)) {
        return Fail(error);
    }
    // The time a transfer takes through the guest's kernel and QEMU stands for the wire's.
    options.config.timing.transferMs = 0;
    sim::SimulatedVantor mixer(options.config);
    {
        std::vector<Served> served(options.secondSocket.empty() ? 1 : 2);
        const std::string sockets[] = {options.socket, options.secondSocket};
        for (std::size_t unit = 0; unit < served.size(); ++unit) {
            if (!served[unit].listener.Listen(sockets[unit], &error)) {
                return Fail(error);
            }
            served[unit].device = std::make_unique<sim::RedirDevice>(&mixer, unit);
        }
        if (!options.readyFile.empty() && !std::ofstream(options.readyFile)) {
            return Fail("cannot make " + options.readyFile);
        }
        Serve(&mixer, &served, signalFd);
    }
    close(signalFd);
    programs::TellReplayVerdicts("usb-mixer", mixer);
    if (!programs::WriteFlashOut(options, mixer, &error)) {
        return Fail(error);
    }
    return 0;
}
