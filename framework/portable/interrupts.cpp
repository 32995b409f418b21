#include "framework/portable/interrupts.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "framework/portable/processexit.h"

namespace portable {

namespace {

// What q in the terminal view noted.
std::atomic<int> g_noted{0};
// The signal file of the interruptions; -1 before they are installed, or when it could not be made
// (the signals then keep their default actions).
int g_signals = -1;

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

}  // namespace

void InstallInterruptHandlers() {
    // Output to a reader that went away is dropped; the outcome still reaches the exit status.
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (const int sig : kInterrupts) {
        struct sigaction old {};
        sigaction(sig, nullptr, &old);
        if (old.sa_handler != SIG_IGN) {
            sigaddset(&interrupts, sig);
        }
    }
    // Read, never caught: no thread is stopped in the middle of its work by a handler, and no
    // sanitizer's runtime stands between a signal and the loop that judges it (ThreadSanitizer
    // defers a handler until its thread next calls into the runtime, and could lose one).
    const int signals = signalfd(-1, &interrupts, SFD_NONBLOCK | SFD_CLOEXEC);
    if (signals < 0) {
        return;
    }
    pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
    g_signals = signals;
}

void NoteInterrupt(int sig) {
    g_noted.store(sig);
}

int TakeInterrupt() {
    if (const int noted = g_noted.exchange(0); noted != 0) {
        return noted;
    }
    signalfd_siginfo signal{};
    if (g_signals >= 0 && read(g_signals, &signal, sizeof signal) == sizeof signal) {
        return static_cast<int>(signal.ssi_signo);
    }
    return 0;
}

bool InterruptPending() {
    pollfd signals{g_signals, POLLIN, 0};
    return g_noted.load() != 0 || (g_signals >= 0 && poll(&signals, 1, 0) > 0);
}

int InterruptedExitCode(int sig) {
    return 128 + sig;
}

void EndInterruptedProgram(int sig) {
    const int exitCode = InterruptedExitCode(sig);
    std::fflush(stdout);
    std::printf("%s\n", ExitCodeLine(exitCode).c_str());
    std::fflush(stdout);
    std::quick_exit(PosixExitStatus(exitCode));
}

}  // namespace portable
