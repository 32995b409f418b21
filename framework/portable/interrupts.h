// Interruptions of a portable program: SIGINT (Ctrl-C, or q in the terminal view), SIGQUIT
// (Ctrl-backslash), SIGTERM and SIGHUP (the terminal went away). The handlers only note the signal;
// the window model's loop decides what it means: Cancel where the wizard offers it, Finish where
// the work is over, a warning while a worker runs that must not be interrupted (a second
// interruption soon after ends the program all the same, but never a hangup), the end of the
// program anywhere else. SIGPIPE is ignored: a write to a closed pipe fails instead. The program
// always ends through EndInterruptedProgram, which prints the exit code line last, as every end
// of a portable program does.
#pragma once

#include <signal.h>

#include <chrono>

namespace portable {

// How soon a second interruption must follow a refused one to end the program.
inline constexpr std::chrono::seconds kSecondInterruptWindow{5};

// Notes SIGINT, SIGQUIT, SIGTERM and SIGHUP from now on (a signal the process was told to ignore
// stays ignored), and ignores SIGPIPE.
void InstallInterruptHandlers();
// What the signal handler does: notes `sig` as the next interruption. Async-signal-safe.
void NoteInterrupt(int sig);
// The interruption noted and not yet taken, 0 for none; taking it clears it.
int TakeInterrupt();
// True while an interruption is noted and not yet taken.
bool InterruptPending();

// While it lives, the interruptions are blocked in the calling thread, and so in every thread it
// starts: they go to the user-interface thread, which judges them. A thread that waits for input
// might otherwise take one, and with ThreadSanitizer's runtime a signal taken there waits until
// that thread next calls into the runtime, which a blocked read may never do.
class InterruptsBlocked {
public:
    InterruptsBlocked();
    ~InterruptsBlocked();
    InterruptsBlocked(const InterruptsBlocked&) = delete;
    InterruptsBlocked& operator=(const InterruptsBlocked&) = delete;

private:
    sigset_t m_previous;
};

// The exit code of a program ended by `sig`, as a shell reports it: 128 + the signal's number.
int InterruptedExitCode(int sig);

// Ends the program at once, with the worker threads where they are: the view's terminal put back
// (by its quick-exit handler), the exit code line printed last, no static destructors run, since
// the workers may still use what they would destroy.
[[noreturn]] void EndInterruptedProgram(int sig);

// What a view says when an interruption is refused.
inline constexpr const char* kInterruptRefusedText =
    "The wizard cannot be cancelled while it works. Ending it now can leave the Vantor in update "
    "mode until the wizard runs again. Press q or Ctrl-C again within 5 seconds to end it all the "
    "same.";

}  // namespace portable
