#include "framework/portable/interrupts.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "framework/portable/processexit.h"

namespace portable {

namespace {

std::atomic<int> g_pending{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only use lock-free");

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void OnSignal(int sig) {
    NoteInterrupt(sig);
}

}  // namespace

void InstallInterruptHandlers() {
    // Output to a reader that went away is dropped; the outcome still reaches the exit status.
    std::signal(SIGPIPE, SIG_IGN);
    for (const int sig : kInterrupts) {
        struct sigaction old {};
        sigaction(sig, nullptr, &old);
        if (old.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: a wait in poll() ends, so the loop looks at the interruption soon.
        action.sa_flags = 0;
        sigaction(sig, &action, nullptr);
    }
}

void NoteInterrupt(int sig) {
    g_pending.store(sig);
}

int TakeInterrupt() {
    return g_pending.exchange(0);
}

bool InterruptPending() {
    return g_pending.load() != 0;
}

InterruptsBlocked::InterruptsBlocked() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (const int sig : kInterrupts) {
        sigaddset(&interrupts, sig);
    }
    pthread_sigmask(SIG_BLOCK, &interrupts, &m_previous);
}

InterruptsBlocked::~InterruptsBlocked() {
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
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
