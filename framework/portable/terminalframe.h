// What the terminal view draws, as a pure function of the sheet, the terminal's size and the keys'
// focus: the rows of one frame, with ANSI attributes unless colour is off. A frame never scrolls
// the screen (it leaves the last row free) and no row is wider than the terminal. When the page
// does not fit, the blank rows go first and then the texts, from the last, the last text kept
// ending with a mark; the caption, the title, the busy sign, the progress bar, the buttons, a
// message box's caption and button, a warning and the line of keys always show.
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

// What the frame shows besides the sheet.
struct FrameState {
    int tick = 0;         // turns the spinner and the marquee
    std::string warning;  // if not empty, shows below the sheet
    // The button the keys' focus is on, named by its press (FocusedButton); it shows in brackets.
    Press focus = Press::None;
    // Without colour (NO_COLOR) the rows carry no attributes at all, and a disabled button, which
    // would look like an enabled one, is left out.
    bool colour = true;
};

std::vector<std::string> FrameRows(const SheetView& sheet, TerminalSize size,
                                   const FrameState& state);

// What the keys need to know of the sheet.
// The button Enter presses by default, if any: Finish, else Next.
const ButtonView* DefaultButton(const SheetView& sheet);
// The button the focus is on, as the press it makes: `moved`, where the person moved it, while that
// button can be pressed; else the default button; else None. Only Next, Finish and Cancel take the
// focus: Back is never offered.
Press FocusedButton(const SheetView& sheet, Press moved);
// The focus `step` buttons on (1: to the right, -1: to the left) among those that can be pressed,
// round from the last to the first; from no focus, the first (or the last).
Press MoveFocus(const SheetView& sheet, Press focus, int step);
// True while the page shows something that moves (the busy sign, a marquee).
bool Animates(const SheetView& sheet);

// The visible characters of a row, without its escape sequences.
std::string VisibleText(const std::string& row);

}  // namespace portable
