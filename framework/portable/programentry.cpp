#include "framework/portable/programentry.h"

#include <cstdio>
#include <memory>
#include <string>

#include "framework/portable/consoleview.h"
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
    const std::unique_ptr<View> view = MakeConsoleView();
    SetView(view.get());
    const int code = AfxWinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), 1);
    SetView(nullptr);
    std::printf("%s\n", ExitCodeLine(code).c_str());
    std::fflush(stdout);
    if (exitCode != nullptr) {
        *exitCode = code;
    }
    return PosixExitStatus(code);
}

}  // namespace portable
