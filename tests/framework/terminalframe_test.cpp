// The terminal view's frame as a pure function of the sheet and the terminal's size: a page that
// fits shows whole; one that does not keeps its caption, title, progress and buttons and cuts its
// texts with a mark; no row is wider than the terminal, and the last row stays free. A resize
// clears the screen before the next frame.
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

std::vector<std::string> Visible(const std::vector<std::string>& rows) {
    std::vector<std::string> visible;
    for (const std::string& row : rows) {
        visible.push_back(portable::VisibleText(row));
    }
    return visible;
}

TEST(TerminalFrame, APageThatFitsShowsWhole) {
    EXPECT_EQ(Visible(FrameRows(Writing(), {80, 24}, 0, "")),
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
                  "  [ Next > ]  [ Cancel ]",
              }));
    // A wide terminal wraps less and cuts nothing.
    const std::vector<std::string> wide = Visible(FrameRows(Writing(), {200, 60}, 0, ""));
    ASSERT_EQ(wide.size(), 10u);
    EXPECT_EQ(wide[5].rfind("  Please wait while", 0), 0u);
    EXPECT_EQ(wide[5].substr(wide[5].size() - 9), "computer.");
}

// A box that comes before any sheet (another wizard runs) shows alone.
TEST(TerminalFrame, ABoxWithoutASheetShowsAlone) {
    SheetView s;
    s.present = false;
    s.messageBox = portable::MessageBoxView{"Another update runs.", "vantor-setup", 0};
    EXPECT_EQ(Visible(FrameRows(s, {80, 24}, 0, "")),
              (std::vector<std::string>{"", "   vantor-setup ", "    Another update runs.", "",
                                        "    [ OK ]"}));
}

TEST(TerminalFrame, ASmallTerminalKeepsTheControlsAndCutsTheTexts) {
    const std::vector<std::string> rows = Visible(FrameRows(Writing(), {40, 8}, 0, ""));
    EXPECT_EQ(rows, (std::vector<std::string>{
                        " Corvena(TM) Vantor Firmware Update W...",
                        "  Updating Vantor Firmware",
                        "    Your Vantor firmware is being",
                        "    updated",
                        "  Please wait while the Corvena(TM) ...",
                        "  [############................]  45%",
                        "  [ Next > ]  [ Cancel ]",
                    }));
}

TEST(TerminalFrame, NoRowIsWiderThanTheTerminalNorTheFrameTallerThanItAllowsAt40x12) {
    SheetView box = Writing();
    box.messageBox = portable::MessageBoxView{
        "There does not appear to be a Vantor connected to this computer.", "setup", 0x40};
    for (const SheetView& sheet : {Writing(), box}) {
        for (const std::string& warning :
             {std::string(), std::string(portable::kInterruptRefusedText)}) {
            const std::vector<std::string> rows = Visible(FrameRows(sheet, {40, 12}, 0, warning));
            EXPECT_LE(rows.size(), 11u);
            for (const std::string& row : rows) {
                EXPECT_LE(row.size(), 40u) << row;
            }
            ASSERT_FALSE(rows.empty());
            EXPECT_EQ(rows.front().rfind(" Corvena(TM)", 0), 0u);
        }
    }
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
