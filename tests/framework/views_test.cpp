#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <istream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "framework/frameworkids.h"
#include "framework/portable/consoleview.h"
#include "framework/portable/failurereason.h"
#include "framework/portable/headlessview.h"
#include "framework/portable/lineformat.h"
#include "framework/portable/lineview.h"
#include "framework/portable/terminalview.h"
#include "tests/framework/sheetparts.h"

namespace {

using portable::ControlView;
using portable::Press;
using portable::SheetView;
using portable::ViewEvent;
using Kind = ViewEvent::Kind;

SheetView Welcome() {
    SheetView s;
    s.caption = "Corvena(TM) Vantor Firmware Update Wizard";
    s.activePage = 0;
    s.page.templateId = 105;
    s.page.exterior = true;
    s.page.controls = {Text(1001, "Welcome to the Wizard", true),
                       Text(-1, "This wizard helps you\nupdate."),
                       Text(-1, "To continue, click Next.")};
    s.back = {false, false, "< &Back"};
    s.next = {true, true, "&Next >"};
    s.finish = {false, false, "&Finish"};
    s.cancel = {true, true, "Cancel"};
    return s;
}

SheetView Updating() {
    SheetView s = Welcome();
    s.activePage = 1;
    s.page = {};
    s.page.templateId = 106;
    s.page.headerTitle = "Updating Vantor Firmware";
    s.page.headerSubtitle = "Your Vantor firmware is being updated";
    ControlView animation;
    animation.kind = ControlView::Kind::Animation;
    animation.id = 1002;
    ControlView bar;
    bar.kind = ControlView::Kind::ProgressBar;
    bar.id = 1006;
    s.page.controls = {Text(-1, "Please wait."), animation, bar};
    s.next.enabled = false;
    s.cancel.enabled = false;
    return s;
}

SheetView Finish() {
    SheetView s = Welcome();
    s.activePage = 2;
    s.page = {};
    s.page.templateId = 107;
    s.page.exterior = true;
    s.page.controls = {Text(1003, "Firmware Update Failed", true),
                       Text(1004, "Could not update:\n\nNo such unit.\n"),
                       Text(1005, "To close this wizard, click Finish.")};
    for (ControlView& c : s.page.controls) {
        c.role = ControlView::Role::Outcome;
    }
    s.next.visible = false;
    s.finish = {true, true, "&Finish"};
    s.cancel.enabled = false;
    return s;
}

ViewEvent Event(Kind kind, INT_PTR result = 0) {
    ViewEvent e{kind};
    e.result = result;
    return e;
}

// A line view over a scripted input, and everything it wrote.
struct Lines {
    explicit Lines(std::string input = "") : in(std::move(input)) {}
    std::vector<std::string> Take() {
        std::vector<std::string> lines;
        std::istringstream written(out.str());
        for (std::string line; std::getline(written, line);) {
            lines.push_back(line);
        }
        out.str("");
        return lines;
    }
    std::istringstream in;
    std::ostringstream out;
    portable::LineView view{in, out};
};

using Expected = std::vector<std::string>;

TEST(ButtonView, ReadsWithoutItsAccessKeyMarks) {
    const std::pair<const char*, const char*> cases[] = {
        {"&Next >", "Next >"}, {"< &Back", "< Back"}, {"Cancel", "Cancel"},
        {"R&&D", "R&D"},       {"&&&Save", "&Save"},  {"Trailing&", "Trailing"},
    };
    for (const auto& [text, label] : cases) {
        EXPECT_EQ((portable::ButtonView{true, true, text}.Label()), label) << text;
    }
}

TEST(LineView, WritesThePagesAsTheyOpen) {
    Lines run;
    SheetView sheet = Welcome();
    run.view.Show(sheet, Event(Kind::SheetOpened));
    run.view.Show(sheet, Event(Kind::PageActivated));  // the first page again: no repeat
    EXPECT_EQ(run.Take(),
              (Expected{"caption: Corvena(TM) Vantor Firmware Update Wizard",
                        "page: Welcome to the Wizard", "text: This wizard helps you\\nupdate.",
                        "text: To continue, click Next."}));

    sheet.caption = "Corvena(TM) Vantor Firmware Update Wizard";
    run.view.Show(sheet, Event(Kind::CaptionChanged));
    sheet.caption = "Other";
    run.view.Show(sheet, Event(Kind::CaptionChanged));
    sheet.page.controls[2].text = "Now click Next.";
    run.view.Show(sheet, Event(Kind::ControlChanged));
    sheet.page.controls[2].visible = false;
    run.view.Show(sheet, Event(Kind::ControlChanged));
    EXPECT_EQ(run.Take(), (Expected{"caption: Other", "text: Now click Next."}));

    sheet = Updating();
    run.view.Show(sheet, Event(Kind::PageActivated));
    EXPECT_EQ(run.Take(), (Expected{"page: Updating Vantor Firmware",
                                    "subtitle: Your Vantor firmware is being updated",
                                    "text: Please wait.", "progress: 0%"}));
}

TEST(LineView, ReportsBusyOnceAndNeverTheSameProgressTwice) {
    Lines run;
    SheetView sheet = Updating();
    ControlView& animation = sheet.page.controls[1];
    ControlView& bar = sheet.page.controls[2];
    run.view.Show(sheet, Event(Kind::PageActivated));
    run.Take();

    const auto change = [&] { run.view.Show(sheet, Event(Kind::ControlChanged)); };
    bar.visible = false;
    animation.clipOpen = animation.playing = true;
    change();
    change();  // still playing
    animation.playing = false;
    animation.visible = false;
    bar.visible = true;  // shown at 0, as it was before "busy:"
    change();
    change();
    bar.position = 1;
    change();
    bar.visible = false;
    change();
    bar.visible = true;  // back at the same value: not repeated
    change();
    bar.marquee = true;
    change();
    bar.position = 45;  // hidden behind the marquee
    change();
    bar.marquee = false;
    change();
    bar.position = 130;
    change();
    animation.visible = animation.playing = true;
    change();
    EXPECT_EQ(run.Take(), (Expected{"busy:", "progress: 0%", "progress: 1%", "progress: marquee",
                                    "progress: 45%", "progress: 100%", "busy:"}));
}

TEST(LineView, WritesTheFinishPageTitleAndItsThreeTexts) {
    Lines run("finish\n");
    SheetView sheet = Finish();
    run.view.Show(sheet, Event(Kind::PageActivated));
    EXPECT_EQ(run.view.WaitForPerson(sheet, 5000), Press::Finish);
    run.view.Show(sheet, Event(Kind::SheetClosed, ID_WIZFINISH));
    EXPECT_EQ(run.Take(),
              (Expected{"page: Firmware Update Failed", "finish: Firmware Update Failed",
                        "finish: Could not update:\\n\\nNo such unit.\\n",
                        "finish: To close this wizard, click Finish.", "buttons: finish",
                        "closed: finish"}));
}

TEST(LineView, WritesTaskbarMessagesAndEndings) {
    struct Case {
        TBPFLAG state;
        Kind kind;
        INT_PTR result;
        const char* line;
    };
    const Case cases[] = {
        {TBPF_NOPROGRESS, Kind::TaskbarState, 0, "taskbar: none"},
        {TBPF_INDETERMINATE, Kind::TaskbarState, 0, "taskbar: indeterminate"},
        {TBPF_NORMAL, Kind::TaskbarState, 0, "taskbar: normal"},
        {TBPF_ERROR, Kind::TaskbarState, 0, "taskbar: error"},
        {TBPF_PAUSED, Kind::TaskbarState, 0, "taskbar: paused"},
        {TBPF_NORMAL, Kind::TaskbarValue, 0, "taskbar: 37/200"},
        {TBPF_NORMAL, Kind::TaskbarReleased, 0, "taskbar: released"},
        {TBPF_NORMAL, Kind::MessageBoxShown, 0, "message: No Vantor.\\nReally."},
        {TBPF_NORMAL, Kind::MessageBoxClosed, IDOK, "answer: ok"},
        {TBPF_NORMAL, Kind::MessageBoxClosed, IDCANCEL, "answer: 2"},
        {TBPF_NORMAL, Kind::SheetClosed, IDCANCEL, "closed: cancel"},
        {TBPF_NORMAL, Kind::SheetClosed, -1, "closed: -1"},
        {TBPF_NORMAL, Kind::TaskbarCreated, 0, nullptr},
        {TBPF_NORMAL, Kind::ButtonChanged, 0, nullptr},
    };
    for (const Case& c : cases) {
        Lines run;
        SheetView sheet = Updating();
        sheet.taskbar = {true, c.state, 37, 200, false};
        sheet.messageBox = portable::MessageBoxView{"No Vantor.\nReally.", "Setup", 0x40};
        run.view.Show(sheet, Event(c.kind, c.result));
        EXPECT_EQ(run.Take(), c.line ? Expected{c.line} : Expected{}) << static_cast<int>(c.kind);
    }
}

TEST(LineView, TakesOnlyTheWordsThatApplyNow) {
    Lines run("ok\n\n  frobnicate\n cancel \nNEXT\nnext\n  Ok  \ncancel\n");
    SheetView sheet = Updating();
    sheet.next.enabled = true;  // Cancel stays disabled
    EXPECT_EQ(run.view.WaitForPerson(sheet, 5000), Press::Next);
    EXPECT_EQ(run.Take(), (Expected{"buttons: next", "input: \"ok\" is not available now",
                                    "input: unknown word \"frobnicate\"",
                                    "input: \"cancel\" is not available now"}));

    sheet.messageBox = portable::MessageBoxView{"No Vantor.", "Setup", 0x40};
    EXPECT_EQ(run.view.WaitForPerson(sheet, 5000), Press::Ok);
    EXPECT_EQ(run.Take(), (Expected{"input: \"next\" is not available now"}));

    sheet.messageBox.reset();
    sheet.cancel.enabled = true;
    EXPECT_EQ(run.view.WaitForPerson(sheet, 5000), Press::Cancel);
    EXPECT_EQ(run.view.WaitForPerson(sheet, 5000), Press::InputEnded);
    EXPECT_EQ(run.view.WaitForPerson(sheet, 5000), Press::InputEnded);
    // The buttons changed once, and are written once.
    EXPECT_EQ(run.Take(), (Expected{"buttons: next, cancel"}));
}

// A stream whose reads wait until the test lets them end, as a silent pipe does.
class SilentBuffer : public std::streambuf {
public:
    void End() {
        std::lock_guard lock(m_mutex);
        m_ended = true;
        m_changed.notify_all();
    }

protected:
    int_type underflow() override {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return m_ended; });
        return traits_type::eof();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_ended = false;
};

TEST(LineView, WaitsNoLongerThanAskedAndLeavesABlockedReaderBehind) {
    // The reader may outlive the view, even the test: its stream is never destroyed, not even when
    // the process ends while the reader is still returning from its read.
    static auto* buffer = new SilentBuffer;
    static auto* in = new std::istream(buffer);
    std::ostringstream out;
    {
        portable::LineView view(*in, out);
        EXPECT_EQ(view.WaitForPerson(Welcome(), 20), Press::None);
    }  // must not wait for the read
    buffer->End();
    EXPECT_EQ(out.str(), "buttons: next, cancel\n");
}

// A Windows line break (the system's texts end with one) reads as one "\n"; a carriage return on
// its own stays visible.
TEST(LineView, WritesALineBreakAsBackslashN) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\r\nb", "a\\nb"}, {"reason:\r\n\r\n", "reason:\\n\\n"},
        {"a\nb", "a\\nb"},   {"a\rb", "a\\rb"},
        {"a\r", "a\\r"},     {"\r\r\n", "\\r\\n"},
    };
    for (const auto& [text, line] : cases) {
        EXPECT_EQ(portable::Escaped(text), line) << portable::Escaped(text);
    }
    Lines run;
    SheetView sheet = Finish();
    sheet.page.controls[1].text = "Could not update:\n\nThe request failed.\r\n";
    run.view.Show(sheet, Event(Kind::PageActivated));
    const std::vector<std::string> lines = run.Take();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "finish: Could not update:\\n\\nThe request failed.\\n");
}

// TERM=dumb cannot move its cursor and gets the lines; NO_COLOR, set and not empty, takes the
// colour away from a terminal.
TEST(ConsoleView, TheTerminalAndTheEnvironmentChooseTheView) {
    using portable::ConsoleKind;
    struct Case {
        bool terminals;
        const char* term;
        const char* noColour;
        ConsoleKind kind;
    };
    const Case cases[] = {
        {true, "xterm-256color", nullptr, ConsoleKind::Terminal},
        {true, nullptr, nullptr, ConsoleKind::Terminal},
        {true, "xterm", "", ConsoleKind::Terminal},
        {true, "xterm", "1", ConsoleKind::TerminalWithoutColour},
        {true, "xterm", "0", ConsoleKind::TerminalWithoutColour},
        {true, "dumb", nullptr, ConsoleKind::Lines},
        {true, "dumb", "1", ConsoleKind::Lines},
        {true, "dumber", nullptr, ConsoleKind::Terminal},
        {false, "xterm", nullptr, ConsoleKind::Lines},
        {false, "xterm", "1", ConsoleKind::Lines},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(portable::ChooseConsole(c.terminals, c.term, c.noColour), c.kind)
            << c.terminals << " TERM=" << (c.term ? c.term : "(unset)")
            << " NO_COLOR=" << (c.noColour ? c.noColour : "(unset)");
    }
}

// The failure's reason, for standard error: the title and the body's last paragraph on one line.
TEST(FailureReason, IsTheTitleAndTheBodysLastParagraph) {
    struct Case {
        std::vector<std::string> outcome;
        const char* line;
    };
    const Case cases[] = {
        {{"Firmware Update Failed",
          "The Vantor firmware could not be updated for the following reason:\n\nThe request "
          "failed because of an error on the device's connection.\r\n",
          "To close this wizard, click Finish."},
         "setup-sim: Firmware Update Failed: The request failed because of an error on the "
         "device's connection."},
        {{"USB Test Failed", "Two\r\nlines.\r\n\r\nThe reason\r\non two lines.\r\n\r\n", ""},
         "setup-sim: USB Test Failed: The reason on two lines."},
        {{"Failed", "First.\n\nSecond.\n\nThird.", ""}, "setup-sim: Failed: Third."},
        {{"Failed", "No blank line.", ""}, "setup-sim: Failed: No blank line."},
        {{"Failed", "", ""}, "setup-sim: Failed"},
        {{"Failed"}, "setup-sim: Failed"},
        {{}, "setup-sim"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(portable::FailureLine("setup-sim", c.outcome), c.line);
    }
}

// The watch passes every event and wait on, and keeps the outcome texts of the last page with them.
TEST(FailureReason, TheWatchKeepsTheLastOutcomeAndPassesEverythingOn) {
    portable::HeadlessView shown;
    shown.Script({Press::Finish});
    shown.SetPixelsPerInch(120);
    shown.SetCanShowMessageBox(false);
    shown.SetHasTaskbar(false);
    portable::OutcomeWatch watch(shown);
    EXPECT_EQ(watch.PixelsPerInch(), 120);
    EXPECT_FALSE(watch.CanShowMessageBox());
    EXPECT_FALSE(watch.HasTaskbar());

    watch.Show(Welcome(), Event(Kind::PageActivated));
    EXPECT_TRUE(watch.Outcome().empty());
    SheetView finish = Finish();
    finish.page.controls[2].visible = false;
    watch.Show(finish, Event(Kind::PageActivated));
    watch.Show(Welcome(), Event(Kind::ControlChanged));  // no outcome: the last one stays
    EXPECT_EQ(watch.Outcome(), (std::vector<std::string>{"Firmware Update Failed",
                                                         "Could not update:\n\nNo such unit.\n"}));
    EXPECT_EQ(watch.WaitForPerson(finish, 0), Press::Finish);
    EXPECT_EQ(shown.Entries().size(), 3u);
    EXPECT_EQ(shown.Waits(), 1);
}

TEST(HeadlessView, RecordsEverythingAndPressesTheScript) {
    portable::HeadlessView view;
    EXPECT_EQ(view.PixelsPerInch(), 96);
    EXPECT_TRUE(view.CanShowMessageBox());
    EXPECT_TRUE(view.HasTaskbar());
    view.SetPixelsPerInch(120);
    view.SetCanShowMessageBox(false);
    view.SetHasTaskbar(false);
    EXPECT_EQ(view.PixelsPerInch(), 120);
    EXPECT_FALSE(view.CanShowMessageBox());
    EXPECT_FALSE(view.HasTaskbar());

    view.Script({Press::Next, Press::Ok});
    SheetView sheet = Welcome();
    view.Show(sheet, Event(Kind::PageActivated));
    sheet.caption = "later";
    view.Show(sheet, Event(Kind::CaptionChanged));
    view.Show(Updating(), Event(Kind::PageActivated));
    EXPECT_EQ(view.WaitForPerson(sheet, 0), Press::Next);
    EXPECT_EQ(view.WaitForPerson(sheet, 0), Press::Ok);
    EXPECT_EQ(view.WaitForPerson(sheet, 0), Press::InputEnded);
    EXPECT_EQ(view.Waits(), 3);

    ASSERT_EQ(view.Entries().size(), 3u);
    EXPECT_EQ(view.Entries()[0].sheet.caption, "Corvena(TM) Vantor Firmware Update Wizard");
    EXPECT_EQ(view.ActivatedTemplates(), (std::vector<int>{105, 106}));
    ASSERT_EQ(view.Events(Kind::CaptionChanged).size(), 1u);
    EXPECT_EQ(view.Events(Kind::CaptionChanged)[0].sheet.caption, "later");
}

// A terminal view over two pipes: keys in, frames out.
class TerminalPipes : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pipe2(m_keys, O_CLOEXEC), 0);
        ASSERT_EQ(pipe2(m_screen, O_CLOEXEC), 0);
        // Only the test's end: the view writes as it would to a terminal.
        ASSERT_EQ(fcntl(m_screen[0], F_SETFL, O_NONBLOCK), 0);
        m_view.emplace(m_keys[0], m_screen[1]);
    }
    void TearDown() override {
        m_view.reset();
        for (int fd : {m_keys[0], m_keys[1], m_screen[0], m_screen[1]}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    void Type(const std::string& keys) {
        ASSERT_EQ(write(m_keys[1], keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }
    void EndInput() {
        close(m_keys[1]);
        m_keys[1] = -1;
    }
    std::string Screen() {
        std::string shown;
        char buffer[4096];
        for (ssize_t n; (n = read(m_screen[0], buffer, sizeof buffer)) > 0;) {
            shown.append(buffer, static_cast<std::size_t>(n));
        }
        return shown;
    }

    int m_keys[2] = {-1, -1};
    int m_screen[2] = {-1, -1};
    std::optional<portable::TerminalView> m_view;
};

TEST_F(TerminalPipes, DrawsTheSheetAndTheTaskbarProgress) {
    SheetView sheet = Updating();
    sheet.page.controls[2].position = 45;
    m_view->Show(sheet, Event(Kind::PageActivated));
    const std::string frame = Screen();
    EXPECT_NE(frame.find("Updating Vantor Firmware"), std::string::npos);
    EXPECT_NE(frame.find("]  45%"), std::string::npos);
    // Both disabled: dim, and without the focus's brackets.
    EXPECT_NE(portable::VisibleText(frame).find("    Next >      Cancel  "), std::string::npos);
    EXPECT_EQ(frame.find("Back"), std::string::npos);  // hidden

    sheet.taskbar = {true, TBPF_INDETERMINATE, 0, 0, false};
    m_view->Show(sheet, Event(Kind::TaskbarState));
    EXPECT_EQ(Screen(), "\x1b]9;4;3;0\x07");
    sheet.taskbar = {true, TBPF_NORMAL, 100, 200, false};
    m_view->Show(sheet, Event(Kind::TaskbarValue));
    EXPECT_EQ(Screen(), "\x1b]9;4;1;50\x07");
    m_view->Show(sheet, Event(Kind::SheetClosed, ID_WIZFINISH));
    EXPECT_EQ(Screen(), "\x1b]9;4;0;0\x07");
}

TEST_F(TerminalPipes, PressesTheDefaultButtonAndCancel) {
    const SheetView welcome = Welcome();
    const SheetView finish = Finish();
    SheetView box = Updating();
    box.messageBox = portable::MessageBoxView{"No Vantor.", "Setup", 0x40};

    Type("x\x1b[A\r");  // a letter and an arrow key are not presses
    EXPECT_EQ(m_view->WaitForPerson(welcome, 5000), Press::Next);
    Type("\n");
    EXPECT_EQ(m_view->WaitForPerson(finish, 5000), Press::Finish);
    Type("\r");
    EXPECT_EQ(m_view->WaitForPerson(box, 5000), Press::Ok);
    Type("\x1b");
    EXPECT_EQ(m_view->WaitForPerson(welcome, 5000), Press::Cancel);
    Type("\x1b");  // Cancel is disabled on the finish page
    EXPECT_EQ(m_view->WaitForPerson(finish, 100), Press::None);
    EndInput();
    EXPECT_EQ(m_view->WaitForPerson(welcome, 5000), Press::InputEnded);
}

// The rows of the last frame on the screen, without their escapes.
std::vector<std::string> LastFrame(const std::string& screen) {
    std::vector<std::string> rows;
    const std::size_t home = screen.rfind("\x1b[H");
    if (home == std::string::npos) {
        return rows;
    }
    std::size_t at = home + 3;
    for (std::size_t end; (end = screen.find("\x1b[K\r\n", at)) != std::string::npos;) {
        rows.push_back(portable::VisibleText(screen.substr(at, end - at)));
        at = end + 5;
    }
    return rows;
}

TEST_F(TerminalPipes, TabAndTheArrowsMoveTheFocusAndEnterPressesTheFocusedButton) {
    const SheetView welcome = Welcome();
    m_view->Show(welcome, Event(Kind::PageActivated));
    EXPECT_EQ(LastFrame(Screen()),
              (Expected{" Corvena(TM) Vantor Firmware Update Wizard ", "",
                        "  Welcome to the Wizard", "", "  This wizard helps you", "  update.", "",
                        "  To continue, click Next.", "", "", "  [ Next > ]    Cancel  ", "",
                        "  Tab/arrows: move  Enter: press  Esc: cancel  q: quit"}));
    const auto buttonsAfter = [&](const std::string& keys) {
        Type(keys);
        EXPECT_EQ(m_view->WaitForPerson(welcome, 100), Press::None);
        const Expected rows = LastFrame(Screen());
        return rows.size() < 3 ? std::string("(no frame)") : rows[rows.size() - 3];
    };
    EXPECT_EQ(buttonsAfter("\t"), "    Next >    [ Cancel ]");
    EXPECT_EQ(buttonsAfter("\x1b[C"), "  [ Next > ]    Cancel  ");  // round to the first
    EXPECT_EQ(buttonsAfter("\x1b[D"), "    Next >    [ Cancel ]");
    EXPECT_EQ(buttonsAfter("\x1b[Z"), "  [ Next > ]    Cancel  ");
    Type("\t\r");
    EXPECT_EQ(m_view->WaitForPerson(welcome, 5000), Press::Cancel);
    // A page starts at its default button, wherever the focus was.
    m_view->Show(welcome, Event(Kind::PageActivated));
    Type("\r");
    EXPECT_EQ(m_view->WaitForPerson(welcome, 5000), Press::Next);
    // Where the focused button goes, Enter presses the default one.
    Type("\t");
    EXPECT_EQ(m_view->WaitForPerson(welcome, 100), Press::None);
    Type("\r");
    EXPECT_EQ(m_view->WaitForPerson(Finish(), 5000), Press::Finish);
}

// NO_COLOR: the frame's cursor movements and nothing else: no attribute, no progress escape, and
// on the way out only the cursor back.
TEST_F(TerminalPipes, WithoutColourWritesNoAttributeAndNoProgress) {
    m_view.reset();
    // A view with colour puts back the attributes and the progress too.
    EXPECT_EQ(Screen(), "\x1b[?25l\x1b[0m\x1b[?25h\x1b]9;4;0;0\x07");
    m_view.emplace(m_keys[0], m_screen[1], nullptr, false);
    SheetView sheet = Updating();
    sheet.taskbar = {true, TBPF_NORMAL, 100, 200, false};
    m_view->Show(sheet, Event(Kind::PageActivated));
    const std::string frame = Screen();
    const Expected rows = LastFrame(frame);
    ASSERT_EQ(rows.size(), 12u);
    // Each escape is one of the cursor's: hide it, clear, home, the end of each row, of the frame.
    EXPECT_EQ(frame.rfind("\x1b[?25l\x1b[2J\x1b[H", 0), 0u);
    EXPECT_EQ(std::count(frame.begin(), frame.end(), '\x1b'), 3 + 12 + 1);
    EXPECT_EQ(frame.substr(frame.size() - 3), "\x1b[J");
    for (const Kind kind :
         {Kind::TaskbarState, Kind::TaskbarValue, Kind::TaskbarReleased, Kind::SheetClosed}) {
        m_view->Show(sheet, Event(kind));
        EXPECT_EQ(Screen(), "") << static_cast<int>(kind);
    }
    m_view.reset();
    EXPECT_EQ(Screen(), "\x1b[?25h");
}

}  // namespace
