// The view for the process's own console.
#pragma once

#include <memory>

#include "framework/portable/view.h"

namespace portable {

// The live terminal view when a person sits at a terminal (standard input and output both
// terminals), else the line view over standard input and output.
std::unique_ptr<View> MakeConsoleView();

}  // namespace portable
