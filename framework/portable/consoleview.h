// The view for the process's own console.
#pragma once

#include <memory>

#include "framework/portable/view.h"

namespace portable {

enum class ConsoleKind { Lines, Terminal, TerminalWithoutColour };

// What the console can show. The live view needs a person at a terminal (standard input and output
// both terminals) that can move its cursor: TERM=dumb cannot, and gets the lines as a pipe does.
// NO_COLOR, when set and not empty (no-color.org), takes the colour away: no attributes and no
// progress escape. `term` and `noColour` are the variables' values, null when unset.
ConsoleKind ChooseConsole(bool terminals, const char* term, const char* noColour);

// The view ChooseConsole picks for standard input and output and the environment.
std::unique_ptr<View> MakeConsoleView();

}  // namespace portable
