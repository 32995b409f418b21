#include "framework/portable/programentry.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/portable/consoleview.h"
#include "framework/portable/failurereason.h"
#include "framework/portable/interrupts.h"
#include "framework/portable/processexit.h"
#include "framework/portable/view.h"
#include "framework/winapp.h"

namespace portable {

int RunProgram(int argc, char** argv, int* exitCode) {
    // From here on an interruption goes through the wizard, which ends the program with the exit
    // code line like every other end.
    InstallInterruptHandlers();
    std::string commandLine = JoinCommandLine(argc, argv);
    int code = 0;
    std::vector<std::string> outcome;
    {
        const std::unique_ptr<View> view = MakeConsoleView();
        OutcomeWatch watch(*view);
        SetView(&watch);
        code = AfxWinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), 1);
        SetView(nullptr);
        outcome = watch.Outcome();
    }  // the terminal is put back before the last lines, as an interruption's end does
    if (code != 0 && !outcome.empty()) {
        const char* slash = std::strrchr(argv[0], '/');
        const std::string program = slash != nullptr ? slash + 1 : argv[0];
        std::fprintf(stderr, "%s\n", FailureLine(program, outcome).c_str());
    }
    std::printf("%s\n", ExitCodeLine(code).c_str());
    std::fflush(stdout);
    if (exitCode != nullptr) {
        *exitCode = code;
    }
    return PosixExitStatus(code);
}

}  // namespace portable
