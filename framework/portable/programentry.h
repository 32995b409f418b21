// The portable process entry: what a POSIX main does for a program on the framework. The wizard's
// simulator build calls it after attaching its devices; other programs use the plain main.
#pragma once

namespace portable {

// Shows the program in the console view (drawn live on a terminal, as lines otherwise), runs the
// application object with the arguments as its command line, prints the exit code line and returns
// the POSIX exit status; the Windows exit code also goes to *exitCode when it is given. A run that
// ends on the finish page with a failure also tells its reason on standard error, before the exit
// code line: "PROGRAM: TITLE: REASON" (failurereason.h).
int RunProgram(int argc, char** argv, int* exitCode = nullptr);

}  // namespace portable
