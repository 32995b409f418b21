// The terminal view's keys as a pure function of the bytes typed: Enter, Esc, q and Ctrl-C, Tab and
// the arrows that move the focus, and everything else passed over, an escape sequence that has not
// come whole left for later.
#include "framework/portable/terminalkeys.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using portable::TerminalKey;

// Every key that `typed` gives, and what is left.
std::vector<TerminalKey> Keys(std::string typed, std::string* left = nullptr) {
    std::vector<TerminalKey> keys;
    for (TerminalKey key; (key = portable::TakeKey(&typed)) != TerminalKey::None;) {
        keys.push_back(key);
        if (key == TerminalKey::Incomplete) {
            break;
        }
    }
    if (left != nullptr) {
        *left = typed;
    }
    return keys;
}

TEST(TerminalKeys, EnterEscapeAndQuit) {
    EXPECT_EQ(
        Keys("\r\nqQ\x03\x1b\x1b"),
        (std::vector<TerminalKey>{TerminalKey::Enter, TerminalKey::Enter, TerminalKey::Quit,
                                  TerminalKey::Quit, TerminalKey::Quit, TerminalKey::Escape}));
}

// Each way a terminal sends the keys that move the focus: the arrows in normal and in application
// mode and with a modifier, Shift-Tab as CSI Z.
TEST(TerminalKeys, TabAndTheArrowsMoveTheFocus) {
    const std::pair<const char*, TerminalKey> cases[] = {
        {"\t", TerminalKey::Next},         {"\x1b[C", TerminalKey::Next},
        {"\x1bOC", TerminalKey::Next},     {"\x1b[1;5C", TerminalKey::Next},
        {"\x1b[Z", TerminalKey::Previous}, {"\x1b[D", TerminalKey::Previous},
        {"\x1bOD", TerminalKey::Previous}, {"\x1b[1;2D", TerminalKey::Previous},
    };
    for (const auto& [typed, key] : cases) {
        std::string left;
        EXPECT_EQ(Keys(std::string(typed) + "\r", &left),
                  (std::vector<TerminalKey>{key, TerminalKey::Enter}))
            << testing::PrintToString(std::string(typed));
        EXPECT_EQ(left, "");
    }
}

TEST(TerminalKeys, PassOverLettersCursorKeysFunctionKeysAndAlt) {
    // A letter, the up arrow, F5, an application-mode arrow, Alt-x, then Enter.
    EXPECT_EQ(Keys("x\x1b[A\x1b[15~\x1bOB\x1bx\r"), std::vector<TerminalKey>{TerminalKey::Enter});
}

TEST(TerminalKeys, LeaveASequenceThatHasNotComeWhole) {
    std::string left;
    EXPECT_EQ(Keys("\r\x1b", &left),
              (std::vector<TerminalKey>{TerminalKey::Enter, TerminalKey::Incomplete}));
    EXPECT_EQ(left, "\x1b");
    EXPECT_EQ(Keys("\x1b[15", &left), std::vector<TerminalKey>{TerminalKey::Incomplete});
    EXPECT_EQ(left, "\x1b[15");
    EXPECT_EQ(Keys(left + "~\r"), std::vector<TerminalKey>{TerminalKey::Enter});
}

TEST(TerminalKeys, QuitKeysAreTakenOutOfWhatWaits) {
    std::string typed = "a\rq\x1b[Ab\x03";
    EXPECT_TRUE(portable::TakeQuitKeys(&typed));
    EXPECT_EQ(typed, "a\r\x1b[Ab");
    EXPECT_FALSE(portable::TakeQuitKeys(&typed));
    EXPECT_EQ(typed, "a\r\x1b[Ab");
}

}  // namespace
