#include "framework/portable/terminalmode.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

#include <termios.h>
#include <unistd.h>

namespace portable {

namespace {

// Plain attributes, the cursor back, no progress: what the terminal had before the wizard. A view
// without colour set neither attributes nor progress, and only shows the cursor again.
const char kRestore[] = "\x1b[0m\x1b[?25h\x1b]9;4;0;0\x07";
const char kRestoreWithoutColour[] = "\x1b[?25h";

// The terminal as it was, for the view and the exit handlers; one terminal view at a time owns it.
struct SavedTerminal {
    volatile std::sig_atomic_t active = 0;
    int inFd = -1;
    int outFd = -1;
    bool raw = false;
    const char* restore = kRestore;
    termios mode{};
};
SavedTerminal g_saved;

}  // namespace

void EnterViewMode(int inFd, int outFd, bool colour) {
    g_saved.inFd = inFd;
    g_saved.outFd = outFd;
    g_saved.raw = false;
    g_saved.restore = colour ? kRestore : kRestoreWithoutColour;
    termios mode{};
    if (isatty(inFd) && tcgetattr(inFd, &mode) == 0) {
        g_saved.mode = mode;
        // Keys as they are typed, without echo; ISIG stays so that Ctrl-C is still SIGINT.
        mode.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        mode.c_cc[VMIN] = 1;
        mode.c_cc[VTIME] = 0;
        g_saved.raw = tcsetattr(inFd, TCSANOW, &mode) == 0;
    }
    g_saved.active = 1;
    // An interruption ends the program with quick_exit (framework/portable/interrupts.h).
    static const bool atExit =
        std::atexit(LeaveViewMode) == 0 && std::at_quick_exit(LeaveViewMode) == 0;
    (void)atExit;
}

void LeaveViewMode() {
    if (!g_saved.active) {
        return;
    }
    g_saved.active = 0;
    if (g_saved.raw) {
        tcsetattr(g_saved.inFd, TCSANOW, &g_saved.mode);
    }
    const ssize_t ignored = write(g_saved.outFd, g_saved.restore, std::strlen(g_saved.restore));
    (void)ignored;
}

}  // namespace portable
