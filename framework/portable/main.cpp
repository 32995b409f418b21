// Process entry of the portable programs: the POSIX main in place of WinMain.
#include <cstdio>
#include <string>

#include "framework/portable/processexit.h"
#include "framework/winapp.h"

int main(int argc, char** argv) {
    std::string commandLine = portable::JoinCommandLine(argc, argv);
    const int exitCode = AfxWinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), 1);
    std::printf("%s\n", portable::ExitCodeLine(exitCode).c_str());
    std::fflush(stdout);
    return portable::PosixExitStatus(exitCode);
}
