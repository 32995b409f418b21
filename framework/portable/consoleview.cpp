#include "framework/portable/consoleview.h"

#include <iostream>

#include <unistd.h>

#include "framework/portable/lineview.h"
#include "framework/portable/terminalview.h"

namespace portable {

std::unique_ptr<View> MakeConsoleView() {
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        return std::make_unique<TerminalView>(STDIN_FILENO, STDOUT_FILENO);
    }
    return std::make_unique<LineView>(std::cin, std::cout);
}

}  // namespace portable
