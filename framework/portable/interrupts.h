// Interruptions of a portable program: SIGINT (Ctrl-C, or q in the terminal view), SIGQUIT
// (Ctrl-backslash), SIGTERM and SIGHUP (the terminal went away). No handler catches them: they stay
// blocked in every thread and wait in a signal file, which the window model's loop reads and
// judges: Cancel where the wizard offers it, Finish where the work is over, a warning while a
// worker runs that must not be interrupted (a second interruption soon after ends the program all
// the same, but never a hangup), the end of the program anywhere else. SIGPIPE is ignored: a write
// to a closed pipe fails instead. The program always ends through EndInterruptedProgram, which
// prints the exit code line last, as every end of a portable program does.
#pragma once

#include <signal.h>

#include <chrono>

namespace portable {

// How soon a second interruption must follow a refused one to end the program.
inline constexpr std::chrono::seconds kSecondInterruptWindow{5};

// Keeps SIGINT, SIGQUIT, SIGTERM and SIGHUP for TakeInterrupt from now on (a signal the process was
// told to ignore stays ignored), and ignores SIGPIPE. Called before the program starts a thread:
// the signals are blocked in the calling thread, and so in every thread it starts.
void InstallInterruptHandlers();
// Notes `sig` as the next interruption, as q in the terminal view does.
void NoteInterrupt(int sig);
// The next interruption, noted or signalled, 0 for none; taking it clears it. Never waits.
int TakeInterrupt();
// True while an interruption is noted or signalled and not yet taken.
bool InterruptPending();

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
