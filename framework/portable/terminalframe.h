// What the terminal view draws, as a pure function of the sheet and the terminal's size: the rows
// of one frame, with ANSI attributes. A frame never scrolls the screen (it leaves the last row
// free) and no row is wider than the terminal. When the page does not fit, the blank rows go first
// and then the texts, from the last, the last text kept ending with a mark; the caption, the title,
// the busy sign, the progress bar, the buttons, a message box's caption and button and a warning
// always show.
#pragma once

#include <string>
#include <vector>

#include "framework/portable/view.h"

namespace portable {

struct TerminalSize {
    int columns = 80;
    int rows = 24;
    bool operator==(const TerminalSize&) const = default;
};

// `tick` turns the spinner and the marquee; `warning`, if not empty, shows below the sheet.
std::vector<std::string> FrameRows(const SheetView& sheet, TerminalSize size, int tick,
                                   const std::string& warning);

// What the keys need to know of the sheet.
// The button Enter presses, if any: Finish, else Next.
const ButtonView* DefaultButton(const SheetView& sheet);
// True while the page shows something that moves (the busy sign, a marquee).
bool Animates(const SheetView& sheet);

// The visible characters of a row, without its escape sequences.
std::string VisibleText(const std::string& row);

}  // namespace portable
