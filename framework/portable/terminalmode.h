// The terminal's mode while the terminal view draws on it: keys as they are typed and without echo,
// the cursor hidden, and all of it put back however the program ends (normally, at exit, or by an
// interruption's quick exit). One terminal at a time.
#pragma once

namespace portable {

// Takes the terminal of `inFd` and `outFd` into the view's mode, where they are a terminal.
// `colour`: the view sets attributes and progress, which the way back then resets.
void EnterViewMode(int inFd, int outFd, bool colour);
// Puts the terminal back as it was: the cursor, and after a view with colour plain attributes and
// no progress. Does nothing when it is back already.
void LeaveViewMode();

}  // namespace portable
