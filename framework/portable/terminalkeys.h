// The keys of the terminal view, decoded from the bytes typed: a pure function of the bytes not yet
// taken, so that every sequence a terminal sends can be tested without one.
#pragma once

#include <string>

namespace portable {

enum class TerminalKey {
    None,        // nothing more typed
    Enter,       // Return or a line feed
    Escape,      // an Esc on its own ("\x1b\x1b": the view doubles a lone Esc after a silence)
    Quit,        // q, Q, or Ctrl-C as a byte
    Next,        // Tab or the right arrow: the focus to the next button
    Previous,    // Shift-Tab or the left arrow: the focus to the button before
    Incomplete,  // the start of an escape sequence whose rest has not come (yet)
};

// Takes the next key from `pending`, passing over what is no key of the wizard's (letters, the
// other cursor and function keys' sequences, Alt with a key); leaves an incomplete sequence in
// place.
TerminalKey TakeKey(std::string* pending);

// Takes every q, Q and Ctrl-C out of `pending` and says whether there was one; the other bytes
// stay, in order.
bool TakeQuitKeys(std::string* pending);

}  // namespace portable
