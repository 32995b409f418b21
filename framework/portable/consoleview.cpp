#include "framework/portable/consoleview.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#include <unistd.h>

#include "framework/portable/lineview.h"
#include "framework/portable/terminalview.h"

namespace portable {

ConsoleKind ChooseConsole(bool terminals, const char* term, const char* noColour) {
    if (!terminals || (term != nullptr && std::strcmp(term, "dumb") == 0)) {
        return ConsoleKind::Lines;
    }
    if (noColour != nullptr && noColour[0] != '\0') {
        return ConsoleKind::TerminalWithoutColour;
    }
    return ConsoleKind::Terminal;
}

std::unique_ptr<View> MakeConsoleView() {
    const bool terminals = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    switch (ChooseConsole(terminals, std::getenv("TERM"), std::getenv("NO_COLOR"))) {
        case ConsoleKind::Terminal:
            return std::make_unique<TerminalView>(STDIN_FILENO, STDOUT_FILENO);
        case ConsoleKind::TerminalWithoutColour:
            return std::make_unique<TerminalView>(STDIN_FILENO, STDOUT_FILENO, nullptr, false);
        case ConsoleKind::Lines:
            break;
    }
    return std::make_unique<LineView>(std::cin, std::cout);
}

}  // namespace portable
