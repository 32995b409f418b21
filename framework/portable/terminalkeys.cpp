#include "framework/portable/terminalkeys.h"

namespace portable {

namespace {

bool IsQuit(char c) {
    return c == 'q' || c == 'Q' || c == '\x03';
}

// What a whole cursor or function key's sequence means to the wizard: the arrows in either of
// their modes (CSI C, SS3 C), with or without modifiers ("\x1b[1;5C"), and Shift-Tab (CSI Z).
TerminalKey SequenceKey(const std::string& sequence) {
    switch (sequence.back()) {
        case 'C':
            return TerminalKey::Next;
        case 'D':
        case 'Z':
            return TerminalKey::Previous;
        default:
            return TerminalKey::None;
    }
}

}  // namespace

TerminalKey TakeKey(std::string* pending) {
    std::string& keys = *pending;
    while (!keys.empty()) {
        const char c = keys[0];
        if (c == '\r' || c == '\n') {
            keys.erase(0, 1);
            return TerminalKey::Enter;
        }
        if (IsQuit(c)) {
            keys.erase(0, 1);
            return TerminalKey::Quit;
        }
        if (c == '\t') {
            keys.erase(0, 1);
            return TerminalKey::Next;
        }
        if (c != '\x1b') {
            keys.erase(0, 1);
            continue;
        }
        if (keys.size() == 1) {
            return TerminalKey::Incomplete;
        }
        if (keys[1] == '\x1b') {
            keys.erase(0, 2);
            return TerminalKey::Escape;
        }
        if (keys[1] != '[' && keys[1] != 'O') {
            keys.erase(0, 2);  // Alt with a key
            continue;
        }
        // A cursor or function key: its sequence ends with a byte from '@' to '~'.
        std::size_t end = 2;
        while (end < keys.size() && keys[1] == '[' && (keys[end] < '@' || keys[end] > '~')) {
            ++end;
        }
        if (end >= keys.size()) {
            return TerminalKey::Incomplete;
        }
        const TerminalKey key = SequenceKey(keys.substr(0, end + 1));
        keys.erase(0, end + 1);
        if (key != TerminalKey::None) {
            return key;
        }
    }
    return TerminalKey::None;
}

bool TakeQuitKeys(std::string* pending) {
    const std::size_t before = pending->size();
    std::erase_if(*pending, IsQuit);
    return pending->size() != before;
}

}  // namespace portable
