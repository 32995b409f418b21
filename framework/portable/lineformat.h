// How the line view writes what it shows: the values of its lines, each a pure function of what the
// sheet shows. The line format is documented in the README ("The portable wizard's output").
#pragma once

#include <optional>
#include <string>

#include "framework/portable/view.h"

namespace portable {

// Without the blanks at either end.
std::string Trimmed(const std::string& s);
std::string Lower(std::string s);
// One line per event: a line break inside a text must not start a line of its own. It reads "\n",
// whether it was "\n" or Windows' "\r\n"; a carriage return on its own reads "\r".
std::string Escaped(const std::string& text);

// "&Next >" reads "next": the access-key marks and the arrows are decoration.
std::string ButtonName(const ButtonView& button);
// A text control's text while it shows one; nullopt when it is hidden, empty or no text.
std::optional<std::string> ShownText(const ControlView& c);
// A progress bar's "45%" or "marquee" while it shows; nullopt when it is hidden or no bar.
std::optional<std::string> ShownProgress(const ControlView& c);
// The exterior page's title: its bold text, or its first text when the bold font has not come;
// the number of controls when it has no text.
std::size_t TitleIndex(const PageView& page);
const char* TaskbarStateName(TBPFLAG state);

}  // namespace portable
