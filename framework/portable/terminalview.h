// The wizard on a terminal: the sheet drawn live with ANSI escapes, the keys for its buttons, the
// taskbar progress as the terminal progress escape (OSC 9;4). Without colour (NO_COLOR) it draws
// with cursor movements alone: no attributes and no progress escape. One at a time: the terminal's
// mode is put back by the destructor, at exit, and when an interruption ends the program.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "framework/portable/terminalframe.h"
#include "framework/portable/view.h"

namespace portable {

class TerminalView : public View {
public:
    // `size`, if given, stands for the terminal's size (tests); otherwise the terminal tells.
    TerminalView(int inFd, int outFd, std::function<TerminalSize()> size = {}, bool colour = true);
    ~TerminalView() override;
    TerminalView(const TerminalView&) = delete;
    TerminalView& operator=(const TerminalView&) = delete;

    void Show(const SheetView& sheet, const ViewEvent& event) override;
    // Tab and the right arrow move the focus to the next button that can be pressed, Shift-Tab and
    // the left arrow back; Enter presses the focused button (at first the default one: Finish,
    // else Next; OK in a message box), Esc presses Cancel; 'q' interrupts the program as Ctrl-C
    // (SIGINT) does.
    Press WaitForPerson(const SheetView& sheet, DWORD timeoutMs) override;
    // Turns the spinner and the marquee about ten times a second; takes q at any time.
    void Idle(const SheetView& sheet) override;

private:
    void Draw(const SheetView& sheet);
    void ShowTaskbar(const SheetView& sheet, const ViewEvent& event);
    // Reads what was typed and takes its q keys as an interruption; the other keys wait their turn.
    void ReadQuitKeys();
    void Write(const std::string& bytes);
    TerminalSize Size() const;

    int m_inFd;
    int m_outFd;
    std::function<TerminalSize()> m_size;
    std::optional<TerminalSize> m_lastSize;  // the size the last frame was drawn for
    bool m_colour;
    bool m_ended = false;
    // Where the person moved the focus on this page; None: the default button.
    Press m_focus = Press::None;
    std::string m_keys;  // bytes read but not yet taken as keys
    int m_tick = 0;      // spinner and marquee frame
    std::chrono::steady_clock::time_point m_lastTick;
    // The warning of a refused interruption shows until then.
    std::optional<std::chrono::steady_clock::time_point> m_noticeUntil;
};

}  // namespace portable
