// The terminal view's frame as a pure function of the sheet, the terminal's size and the focus: a
// page that fits shows whole; one that does not keeps its caption, title, progress, buttons and
// keys and cuts its texts with a mark; no row is wider than the terminal, and the last row stays
// free. The focused button shows in brackets, with or without colour; the last row says which keys
// work now. A resize clears the screen before the next frame.
#include "framework/portable/terminalframe.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "framework/portable/interrupts.h"
#include "framework/portable/terminalview.h"
#include "tests/framework/sheetparts.h"

namespace {

using portable::ControlView;
using portable::FrameRows;
using portable::FrameState;
using portable::Press;
using portable::SheetView;
using portable::TerminalSize;

// The update page as the wizard shows it while it writes.
SheetView Writing() {
    SheetView s;
    s.caption = "Corvena(TM) Vantor Firmware Update Wizard";
    s.page.templateId = 106;
    s.page.headerTitle = "Updating Vantor Firmware";
    s.page.headerSubtitle = "Your Vantor firmware is being updated";
    ControlView bar;
    bar.kind = ControlView::Kind::ProgressBar;
    bar.id = 1006;
    bar.position = 45;
    s.page.controls = {Text(-1,
                            "Please wait while the Corvena(TM) Firmware Update Wizard updates the "
                            "firmware on your Vantor.  Do not unplug your Vantor during this "
                            "process or shut down your computer."),
                       bar};
    s.back = {false, false, "< &Back"};
    s.next = {true, false, "&Next >"};
    s.finish = {false, false, "&Finish"};
    s.cancel = {true, false, "Cancel"};
    return s;
}

// The same page waiting for a press, with the buttons that can be pressed.
SheetView Waiting(bool next, bool finish, bool cancel) {
    SheetView s = Writing();
    s.next = {!finish, next, "&Next >"};
    s.finish = {finish, finish, "&Finish"};
    s.cancel.enabled = cancel;
    return s;
}

// A frame's state with the focus on `focus`, and a warning.
FrameState Shown(Press focus, bool colour = true, const std::string& warning = "") {
    FrameState state;
    state.focus = focus;
    state.colour = colour;
    state.warning = warning;
    return state;
}

std::vector<std::string> Visible(const std::vector<std::string>& rows) {
    std::vector<std::string> visible;
    for (const std::string& row : rows) {
        visible.push_back(portable::VisibleText(row));
    }
    return visible;
}

TEST(TerminalFrame, APageThatFitsShowsWhole) {
    EXPECT_EQ(Visible(FrameRows(Writing(), {80, 24}, {})),
              (std::vector<std::string>{
                  " Corvena(TM) Vantor Firmware Update Wizard ",
                  "",
                  "  Updating Vantor Firmware",
                  "    Your Vantor firmware is being updated",
                  "",
                  "  Please wait while the Corvena(TM) Firmware Update Wizard updates the",
                  "  firmware on your Vantor. Do not unplug your Vantor during this process or",
                  "  shut down your computer.",
                  "",
                  "  [######################............................]  45%",
                  "",
                  "    Next >      Cancel  ",
                  "",
                  "  q: quit",
              }));
    // A wide terminal wraps less and cuts nothing.
    const std::vector<std::string> wide = Visible(FrameRows(Writing(), {200, 60}, {}));
    ASSERT_EQ(wide.size(), 12u);
    EXPECT_EQ(wide[5].rfind("  Please wait while", 0), 0u);
    EXPECT_EQ(wide[5].substr(wide[5].size() - 9), "computer.");
}

// A box that comes before any sheet (another wizard runs) shows alone.
TEST(TerminalFrame, ABoxWithoutASheetShowsAlone) {
    SheetView s;
    s.present = false;
    s.messageBox = portable::MessageBoxView{"Another update runs.", "vantor-setup", 0};
    EXPECT_EQ(Visible(FrameRows(s, {80, 24}, {})),
              (std::vector<std::string>{"", "   vantor-setup ", "    Another update runs.", "",
                                        "    [ OK ]", "", "  Enter: OK  q: quit"}));
}

TEST(TerminalFrame, ASmallTerminalKeepsTheControlsAndCutsTheTexts) {
    const std::vector<std::string> rows = Visible(FrameRows(Writing(), {40, 8}, {}));
    EXPECT_EQ(rows, (std::vector<std::string>{
                        " Corvena(TM) Vantor Firmware Update W...",
                        "  Updating Vantor Firmware",
                        "    Your Vantor firmware is being",
                        "    updated ...",
                        "  [############................]  45%",
                        "    Next >      Cancel  ",
                        "  q: quit",
                    }));
}

TEST(TerminalFrame, NoRowIsWiderThanTheTerminalNorTheFrameTallerThanItAllowsAt40x12) {
    SheetView box = Writing();
    box.messageBox = portable::MessageBoxView{
        "There does not appear to be a Vantor connected to this computer.", "setup", 0x40};
    for (const SheetView& sheet : {Writing(), box}) {
        for (const std::string& warning :
             {std::string(), std::string(portable::kInterruptRefusedText)}) {
            const std::vector<std::string> rows =
                Visible(FrameRows(sheet, {40, 12}, Shown(Press::None, true, warning)));
            EXPECT_LE(rows.size(), 11u);
            for (const std::string& row : rows) {
                EXPECT_LE(row.size(), 40u) << row;
            }
            ASSERT_FALSE(rows.empty());
            EXPECT_EQ(rows.front().rfind(" Corvena(TM)", 0), 0u);
        }
    }
}

// The focus is on the default button until the person moves it, moves round among the buttons that
// can be pressed, and falls back to the default when its button goes; Back never takes it.
TEST(TerminalFrame, TheFocusMovesAmongTheButtonsThatCanBePressed) {
    SheetView box = Waiting(true, false, true);
    box.messageBox = portable::MessageBoxView{"No Vantor.", "Setup", 0x40};
    SheetView back = Waiting(true, false, true);
    back.back = {true, true, "< &Back"};
    struct Case {
        const char* sheet;
        SheetView view;
        Press moved;
        Press focused;
        Press right;  // after a step to the right
        Press left;   // after a step to the left
    };
    const Case cases[] = {
        {"next, cancel", Waiting(true, false, true), Press::None, Press::Next, Press::Cancel,
         Press::Cancel},
        {"next, cancel: moved", Waiting(true, false, true), Press::Cancel, Press::Cancel,
         Press::Next, Press::Next},
        {"finish alone", Waiting(false, true, false), Press::None, Press::Finish, Press::Finish,
         Press::Finish},
        {"moved to a disabled cancel", Waiting(false, true, false), Press::Cancel, Press::Finish,
         Press::Finish, Press::Finish},
        {"cancel alone", Waiting(false, false, true), Press::None, Press::None, Press::Cancel,
         Press::Cancel},
        {"nothing", Writing(), Press::None, Press::None, Press::None, Press::None},
        {"a box", box, Press::Cancel, Press::None, Press::None, Press::None},
        {"back too", back, Press::None, Press::Next, Press::Cancel, Press::Cancel},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(portable::FocusedButton(c.view, c.moved), c.focused) << c.sheet;
        EXPECT_EQ(portable::MoveFocus(c.view, c.moved, 1), c.right) << c.sheet;
        EXPECT_EQ(portable::MoveFocus(c.view, c.moved, -1), c.left) << c.sheet;
    }
    // Three buttons: round both ways.
    SheetView three = Waiting(true, true, true);
    three.next.visible = true;
    EXPECT_EQ(portable::MoveFocus(three, Press::Cancel, 1), Press::Next);
    EXPECT_EQ(portable::MoveFocus(three, Press::Next, -1), Press::Cancel);
    EXPECT_EQ(portable::MoveFocus(three, Press::Next, 1), Press::Finish);
}

// The last two rows: the buttons, the focused one in brackets, and the keys that work now.
TEST(TerminalFrame, TheFocusedButtonShowsInBracketsAndTheKeysThatWorkBelow) {
    SheetView box = Writing();
    box.messageBox = portable::MessageBoxView{"No Vantor.", "Setup", 0x40};
    struct Case {
        SheetView sheet;
        Press focus;
        const char* buttons;
        const char* keys;
    };
    const Case cases[] = {
        {Waiting(true, false, true), Press::None, "  [ Next > ]    Cancel  ",
         "  Tab/arrows: move  Enter: press  Esc: cancel  q: quit"},
        {Waiting(true, false, true), Press::Cancel, "    Next >    [ Cancel ]",
         "  Tab/arrows: move  Enter: press  Esc: cancel  q: quit"},
        {Waiting(false, true, false), Press::None, "  [ Finish ]    Cancel  ",
         "  Enter: press  q: quit"},
        {Waiting(false, false, true), Press::None, "    Next >      Cancel  ",
         "  Esc: cancel  q: quit"},
        {Writing(), Press::None, "    Next >      Cancel  ", "  q: quit"},
        {box, Press::None, "    [ OK ]", "  Enter: OK  q: quit"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> rows = Visible(FrameRows(c.sheet, {80, 30}, Shown(c.focus)));
        ASSERT_GE(rows.size(), 3u);
        EXPECT_EQ(rows[rows.size() - 3], c.buttons) << c.keys;
        EXPECT_EQ(rows.back(), c.keys);
    }
}

// NO_COLOR: not one escape in the rows; a disabled button, which would look like an enabled one,
// is left out, and the focus still shows.
TEST(TerminalFrame, WithoutColourNoRowHasAnAttribute) {
    const FrameState noColour = Shown(Press::Cancel, false);
    SheetView box = Waiting(true, false, false);
    box.messageBox = portable::MessageBoxView{"No Vantor.", "Setup", 0x40};
    EXPECT_EQ(FrameRows(Waiting(true, false, true), {80, 24}, noColour),
              (std::vector<std::string>{
                  " Corvena(TM) Vantor Firmware Update Wizard ",
                  "",
                  "  Updating Vantor Firmware",
                  "    Your Vantor firmware is being updated",
                  "",
                  "  Please wait while the Corvena(TM) Firmware Update Wizard updates the",
                  "  firmware on your Vantor. Do not unplug your Vantor during this process or",
                  "  shut down your computer.",
                  "",
                  "  [######################............................]  45%",
                  "",
                  "    Next >    [ Cancel ]",
                  "",
                  "  Tab/arrows: move  Enter: press  Esc: cancel  q: quit",
              }));
    EXPECT_EQ(FrameRows(Waiting(true, false, false), {80, 24}, noColour)[11], "  [ Next > ]");
    const std::vector<std::string> cut =
        FrameRows(box, {30, 10}, Shown(Press::None, false, portable::kInterruptRefusedText));
    for (const std::string& row : cut) {
        EXPECT_EQ(row.find('\x1b'), std::string::npos) << row;
    }
    EXPECT_EQ(cut.front(), " Corvena(TM) Vantor Firmwar...");
    EXPECT_EQ(cut.size(), 9u);  // cut at the bottom: the keys go first
    // With colour the same rows carry their attributes.
    EXPECT_EQ(FrameRows(Waiting(true, false, true), {80, 24}, Shown(Press::Cancel))[11],
              "    Next >  \x1b[0m  \x1b[1m[ Cancel ]\x1b[0m");
}

// A terminal view over a pipe, its size set by the test.
TEST(TerminalFrame, AResizeBetweenTwoFramesClearsTheScreen) {
    int screen[2];
    ASSERT_EQ(pipe2(screen, O_CLOEXEC | O_NONBLOCK), 0);
    int keys[2];
    ASSERT_EQ(pipe2(keys, O_CLOEXEC), 0);
    TerminalSize size{80, 24};
    const auto read = [&] {
        std::string shown;
        char buffer[4096];
        for (ssize_t n; (n = ::read(screen[0], buffer, sizeof buffer)) > 0;) {
            shown.append(buffer, static_cast<std::size_t>(n));
        }
        return shown;
    };
    {
        portable::TerminalView view(keys[0], screen[1], [&] { return size; });
        read();  // the cursor hidden
        const portable::ViewEvent shown{portable::ViewEvent::Kind::ControlChanged};
        view.Show(Writing(), shown);
        EXPECT_EQ(read().rfind("\x1b[2J\x1b[H", 0), 0u);  // the first frame clears the screen
        view.Show(Writing(), shown);
        EXPECT_EQ(read().rfind("\x1b[H", 0), 0u);  // the same size: drawn over
        size = {40, 12};
        view.Show(Writing(), shown);
        const std::string resized = read();
        EXPECT_EQ(resized.rfind("\x1b[2J\x1b[H", 0), 0u);
        EXPECT_NE(resized.find("Firmware Update W...\x1b[0m"), std::string::npos);
    }
    for (int fd : {screen[0], screen[1], keys[0], keys[1]}) {
        close(fd);
    }
}

}  // namespace
