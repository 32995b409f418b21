#include "framework/portable/terminalview.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <utility>

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "framework/portable/interrupts.h"
#include "framework/portable/terminalframe.h"
#include "framework/portable/terminalkeys.h"
#include "framework/portable/terminalmode.h"

namespace portable {

namespace {

constexpr std::chrono::milliseconds kTick{100};
// An Esc key arrives alone; the arrow and function keys arrive as Esc followed at once by the rest
// of their sequence. This long a silence after an Esc means the key itself.
constexpr int kEscapeWaitMs = 30;

const char kHome[] = "\x1b[H";
const char kClearScreen[] = "\x1b[2J";
const char kEndOfLine[] = "\x1b[K\r\n";
const char kEndOfFrame[] = "\x1b[J";
const char kHideCursor[] = "\x1b[?25l";
const char kNoProgress[] = "\x1b]9;4;0;0\x07";
void WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;  // the terminal is gone; nothing left to show it to
        }
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

TerminalView::TerminalView(int inFd, int outFd, std::function<TerminalSize()> size, bool colour)
    : m_inFd(inFd),
      m_outFd(outFd),
      m_size(std::move(size)),
      m_colour(colour),
      m_lastTick(std::chrono::steady_clock::now()) {
    EnterViewMode(inFd, outFd, colour);
    Write(kHideCursor);
}

TerminalView::~TerminalView() {
    LeaveViewMode();
}

void TerminalView::Show(const SheetView& sheet, const ViewEvent& event) {
    switch (event.kind) {
        case ViewEvent::Kind::TaskbarState:
        case ViewEvent::Kind::TaskbarValue:
        case ViewEvent::Kind::TaskbarReleased:
            ShowTaskbar(sheet, event);
            break;
        case ViewEvent::Kind::SheetClosed:
            if (m_colour) {
                Write(kNoProgress);
            }
            break;
        case ViewEvent::Kind::PageActivated:
            m_focus = Press::None;  // each page starts at its default button, as on Windows
            Draw(sheet);
            break;
        case ViewEvent::Kind::InterruptRefused:
            m_noticeUntil = std::chrono::steady_clock::now() + kSecondInterruptWindow;
            Draw(sheet);
            break;
        case ViewEvent::Kind::TaskbarCreated:
        case ViewEvent::Kind::TaskbarOverlay:
            break;
        default:
            Draw(sheet);
            break;
    }
}

void TerminalView::Idle(const SheetView& sheet) {
    ReadQuitKeys();
    const auto now = std::chrono::steady_clock::now();
    if ((m_noticeUntil && now >= *m_noticeUntil) || Size() != m_lastSize) {
        if (m_noticeUntil && now >= *m_noticeUntil) {
            m_noticeUntil.reset();  // the warning goes with its window
        }
        Draw(sheet);
    }
    if (now - m_lastTick < kTick || !Animates(sheet)) {
        return;
    }
    m_lastTick = now;
    ++m_tick;
    Draw(sheet);
}

void TerminalView::ShowTaskbar(const SheetView& sheet, const ViewEvent& event) {
    if (!m_colour) {
        return;  // a terminal that wants no colour gets no progress escape either
    }
    const TaskbarView& bar = sheet.taskbar;
    int state = 0;
    if (event.kind == ViewEvent::Kind::TaskbarValue &&
        (bar.state == TBPF_NOPROGRESS || bar.state == TBPF_INDETERMINATE)) {
        state = 1;  // a value shows as normal progress, as on the taskbar itself
    } else if (event.kind != ViewEvent::Kind::TaskbarReleased) {
        switch (bar.state) {
            case TBPF_NORMAL:
                state = 1;
                break;
            case TBPF_ERROR:
                state = 2;
                break;
            case TBPF_INDETERMINATE:
                state = 3;
                break;
            case TBPF_PAUSED:
                state = 4;
                break;
            case TBPF_NOPROGRESS:
                break;
        }
    }
    int percent = 0;
    if ((state == 1 || state == 2 || state == 4) && bar.total != 0) {
        const double share = static_cast<double>(std::min(bar.completed, bar.total)) /
                             static_cast<double>(bar.total);
        percent = static_cast<int>(share * 100.0);
    }
    Write("\x1b]9;4;" + std::to_string(state) + ";" + std::to_string(percent) + "\x07");
}

void TerminalView::Draw(const SheetView& sheet) {
    const TerminalSize size = Size();
    // After a resize the old frame's rows may have wrapped anywhere: clear the whole screen.
    std::string frame = m_lastSize == size ? "" : kClearScreen;
    m_lastSize = size;
    frame += kHome;
    const FrameState state{m_tick, m_noticeUntil ? kInterruptRefusedText : "", m_focus, m_colour};
    for (const std::string& row : FrameRows(sheet, size, state)) {
        frame += row + kEndOfLine;
    }
    Write(frame + kEndOfFrame);
}

Press TerminalView::WaitForPerson(const SheetView& sheet, DWORD timeoutMs) {
    if (Size() != m_lastSize) {
        Draw(sheet);  // resized while the wizard waits
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        TerminalKey key = TakeKey(&m_keys);
        while (key != TerminalKey::None && key != TerminalKey::Incomplete) {
            if (key == TerminalKey::Quit) {
                return Press::Interrupt;
            }
            if (key == TerminalKey::Enter) {
                if (sheet.messageBox) {
                    return Press::Ok;
                }
                if (const Press focused = FocusedButton(sheet, m_focus); focused != Press::None) {
                    return focused;
                }
            } else if (key == TerminalKey::Next || key == TerminalKey::Previous) {
                const Press moved = MoveFocus(sheet, m_focus, key == TerminalKey::Next ? 1 : -1);
                if (moved != FocusedButton(sheet, m_focus)) {
                    m_focus = moved;
                    Draw(sheet);
                }
            } else if (key == TerminalKey::Escape) {
                // A box with only OK closes with Esc as with OK, as Windows' message boxes do.
                if (sheet.messageBox) {
                    return Press::Ok;
                }
                if (sheet.cancel.Usable()) {
                    return Press::Cancel;
                }
            }
            key = TakeKey(&m_keys);
        }
        if (m_ended) {
            return Press::InputEnded;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 && key != TerminalKey::Incomplete) {
            return Press::None;
        }
        const int wait =
            key == TerminalKey::Incomplete
                ? kEscapeWaitMs
                : static_cast<int>(std::min<long long>(left.count(), 1000LL * 60 * 60));
        pollfd in{m_inFd, POLLIN, 0};
        const int ready = poll(&in, 1, wait);
        if (ready < 0 && errno != EINTR) {
            m_ended = true;
        } else if (ready == 0 && key == TerminalKey::Incomplete) {
            // Nothing followed the Esc: it was the key itself, or a sequence cut short.
            m_keys = m_keys == "\x1b" ? "\x1b\x1b" : "";
        } else if (ready > 0) {
            char buffer[64];
            const ssize_t n = read(m_inFd, buffer, sizeof buffer);
            if (n > 0) {
                m_keys.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                m_ended = true;
            }
        }
    }
}

void TerminalView::ReadQuitKeys() {
    // While nobody can press anything the keys wait, but q is an interruption at any time.
    pollfd in{m_inFd, POLLIN, 0};
    while (poll(&in, 1, 0) > 0) {
        char buffer[64];
        const ssize_t n = read(m_inFd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        m_keys.append(buffer, static_cast<std::size_t>(n));
    }
    if (TakeQuitKeys(&m_keys)) {
        NoteInterrupt(SIGINT);
    }
}

void TerminalView::Write(const std::string& bytes) {
    WriteAll(m_outFd, bytes);
}

TerminalSize TerminalView::Size() const {
    if (m_size) {
        return m_size();
    }
    winsize size{};
    if (ioctl(m_outFd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        return {size.ws_col, size.ws_row};
    }
    return {};
}

}  // namespace portable
