#include "framework/portable/terminalframe.h"

#include <algorithm>
#include <utility>

namespace portable {

namespace {

// The SGR attributes a frame uses; none at all without colour.
struct Attributes {
    const char* bold;
    const char* dim;
    const char* reverse;
    const char* plain;
};
constexpr Attributes kColour{"\x1b[1m", "\x1b[2m", "\x1b[7m", "\x1b[0m"};
constexpr Attributes kNoColour{"", "", "", ""};
// Ends a text that had to be cut.
const char kCutMark[] = " ...";

// Lines of at most `width` characters, broken between words; "\n" breaks a line.
std::vector<std::string> Wrapped(const std::string& text, int width) {
    const std::size_t limit = static_cast<std::size_t>(std::max(width, 10));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t stop = std::min(text.find('\n', start), text.size());
        std::string line;
        std::size_t pos = start;
        while (pos < stop) {
            const std::size_t wordEnd = std::min(text.find(' ', pos), stop);
            std::string word = text.substr(pos, wordEnd - pos);
            pos = wordEnd + 1;
            std::erase(word, '\r');
            if (word.empty()) {
                continue;
            }
            if (!line.empty() && line.size() + 1 + word.size() > limit) {
                lines.push_back(std::move(line));
                line.clear();
            }
            while (word.size() > limit) {  // a word wider than the terminal is cut
                lines.push_back(word.substr(0, limit));
                word.erase(0, limit);
            }
            line += (line.empty() ? "" : " ") + word;
        }
        lines.push_back(std::move(line));
        if (stop >= text.size()) {
            return lines;
        }
        start = stop + 1;
    }
}

// The exterior page's title: its bold text, or its first text when the bold font has not come.
const ControlView* ExteriorTitle(const PageView& page) {
    const ControlView* first = nullptr;
    for (const ControlView& c : page.controls) {
        if (c.kind != ControlView::Kind::Text || !c.visible || c.text.empty()) {
            continue;
        }
        if (c.bold) {
            return &c;
        }
        if (first == nullptr) {
            first = &c;
        }
    }
    return first;
}

std::string ProgressBar(const ControlView& bar, int width, int tick) {
    const int cells = std::clamp(width - 12, 10, 50);
    std::string shown(static_cast<std::size_t>(cells), '.');
    std::string percent;
    if (bar.marquee) {
        // A segment that runs across the bar and enters again from the left.
        const int length = std::max(3, cells / 5);
        const int head = tick % (cells + length);
        for (int i = head - length; i < head; ++i) {
            if (i >= 0 && i < cells) {
                shown[static_cast<std::size_t>(i)] = '#';
            }
        }
    } else {
        const int position = std::clamp(bar.position, 0, 100);
        std::fill_n(shown.begin(), cells * position / 100, '#');
        percent = std::to_string(position);
        percent =
            " " + std::string(3 - std::min<std::size_t>(3, percent.size()), ' ') + percent + "%";
    }
    return "[" + shown + "]" + percent;
}

// How a row fares when the frame does not fit.
enum class Keep { Always, Text, Blank };

struct Row {
    std::string text;
    Keep keep;
};

std::vector<Row> Controls(const SheetView& sheet, int width, int tick) {
    static const char kSpinner[] = "|/-\\";
    const ControlView* title = sheet.page.exterior ? ExteriorTitle(sheet.page) : nullptr;
    std::vector<Row> rows;
    for (const ControlView& c : sheet.page.controls) {
        if (!c.visible || &c == title) {
            continue;
        }
        switch (c.kind) {
            case ControlView::Kind::Text:
                if (c.text.empty()) {
                    break;
                }
                for (const std::string& l : Wrapped(c.text, width - 4)) {
                    rows.push_back({"  " + l, Keep::Text});
                }
                rows.push_back({"", Keep::Blank});
                break;
            case ControlView::Kind::Animation:
                if (c.playing) {
                    rows.push_back({std::string("  ") + kSpinner[tick % 4], Keep::Always});
                }
                break;
            case ControlView::Kind::ProgressBar:
                rows.push_back({"  " + ProgressBar(c, width, tick), Keep::Always});
                break;
        }
    }
    return rows;
}

struct SheetButton {
    const ButtonView* button;
    Press press;  // what pressing it does; None for Back, which the keys never press
};

std::vector<SheetButton> ButtonsInOrder(const SheetView& sheet) {
    return {{&sheet.back, Press::None},
            {&sheet.next, Press::Next},
            {&sheet.finish, Press::Finish},
            {&sheet.cancel, Press::Cancel}};
}

// The buttons the focus moves among, in the order they show.
std::vector<Press> FocusOrder(const SheetView& sheet) {
    std::vector<Press> order;
    for (const auto& [button, press] : ButtonsInOrder(sheet)) {
        if (press != Press::None && button->Usable() && !sheet.messageBox) {
            order.push_back(press);
        }
    }
    return order;
}

// The focused button in brackets, the others as wide without them, so that the row stays put as
// the focus moves.
std::string Buttons(const SheetView& sheet, const FrameState& state, const Attributes& a) {
    const Press focus = FocusedButton(sheet, state.focus);
    std::string out;
    for (const auto& [button, press] : ButtonsInOrder(sheet)) {
        if (!button->visible || (!button->enabled && !state.colour)) {
            continue;
        }
        const bool focused = focus != Press::None && press == focus;
        const char* look = !button->enabled ? a.dim : focused ? a.bold : "";
        const std::string label = button->Label();
        out += (out.empty() ? "" : "  ") + std::string(look) +
               (focused ? "[ " + label + " ]" : "  " + label + "  ") + a.plain;
    }
    return out;
}

// The keys that do something now, so that a person need not guess them from the page's texts.
std::string KeyLine(const SheetView& sheet, Press focus) {
    if (sheet.messageBox) {
        return "Enter: OK  q: quit";
    }
    std::string keys;
    if (FocusOrder(sheet).size() > 1) {
        keys += "Tab/arrows: move  ";
    }
    if (FocusedButton(sheet, focus) != Press::None) {
        keys += "Enter: press  ";
    }
    if (sheet.cancel.Usable()) {
        keys += "Esc: cancel  ";
    }
    return keys + "q: quit";
}

// The sheet: caption, header or exterior title, the page's controls and the buttons.
void SheetRows(const SheetView& sheet, int width, const FrameState& state, const Attributes& a,
               std::vector<Row>& rows) {
    rows.push_back({std::string(a.reverse) + " " + sheet.caption + " " + a.plain, Keep::Always});
    rows.push_back({"", Keep::Blank});
    const PageView& page = sheet.page;
    if (page.exterior) {
        if (const ControlView* title = ExteriorTitle(page)) {
            bool first = true;
            for (const std::string& l : Wrapped(title->text, width - 2)) {
                rows.push_back(
                    {"  " + std::string(a.bold) + l + a.plain, first ? Keep::Always : Keep::Text});
                first = false;
            }
        }
    } else {
        rows.push_back({"  " + std::string(a.bold) + page.headerTitle + a.plain, Keep::Always});
        for (const std::string& l : Wrapped(page.headerSubtitle, width - 4)) {
            rows.push_back({"    " + l, Keep::Text});
        }
    }
    rows.push_back({"", Keep::Blank});
    for (Row& row : Controls(sheet, width, state.tick)) {
        rows.push_back(std::move(row));
    }
    rows.push_back({"", Keep::Blank});
    rows.push_back({"  " + Buttons(sheet, state, a), Keep::Always});
}

std::vector<Row> AllRows(const SheetView& sheet, int width, const FrameState& state,
                         const Attributes& a) {
    std::vector<Row> rows;
    if (sheet.present) {
        SheetRows(sheet, width, state, a, rows);
    }
    if (sheet.messageBox) {
        rows.push_back({"", Keep::Blank});
        rows.push_back(
            {"  " + std::string(a.reverse) + " " + sheet.messageBox->caption + " " + a.plain,
             Keep::Always});
        for (const std::string& l : Wrapped(sheet.messageBox->text, width - 4)) {
            rows.push_back({"    " + l, Keep::Text});
        }
        rows.push_back({"", Keep::Blank});
        rows.push_back(
            {"    " + std::string(a.bold) + a.reverse + "[ OK ]" + a.plain, Keep::Always});
    }
    if (!state.warning.empty()) {
        rows.push_back({"", Keep::Blank});
        for (const std::string& l : Wrapped(state.warning, width - 4)) {
            rows.push_back({"  " + std::string(a.reverse) + " " + l + " " + a.plain, Keep::Always});
        }
    }
    rows.push_back({"", Keep::Blank});
    rows.push_back(
        {"  " + std::string(a.dim) + KeyLine(sheet, state.focus) + a.plain, Keep::Always});
    return rows;
}

// Drops rows of a kind, from the last, until the rows fit `limit` or none of that kind is left; the
// last text kept before a dropped one is marked as cut.
void Drop(std::vector<Row>& rows, Keep kind, std::size_t limit) {
    bool dropped = false;
    for (std::size_t i = rows.size(); i-- > 0 && rows.size() > limit;) {
        if (rows[i].keep == kind) {
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i));
            dropped = true;
        }
    }
    if (dropped && kind == Keep::Text) {
        for (std::size_t i = rows.size(); i-- > 0;) {
            if (rows[i].keep == Keep::Text) {
                rows[i].text += kCutMark;
                break;
            }
        }
    }
}

// A row cut to `columns` visible characters, its attributes ended; a row that had to be cut ends
// with the mark.
std::string Fitted(const std::string& row, int columns, const Attributes& a) {
    if (static_cast<int>(VisibleText(row).size()) <= columns) {
        return row;
    }
    const int room = std::max(columns - static_cast<int>(sizeof kCutMark - 2), 0);
    std::string out;
    int visible = 0;
    for (std::size_t i = 0; i < row.size() && visible < room; ++i) {
        if (row[i] == '\x1b' && i + 1 < row.size() && row[i + 1] == '[') {
            // An escape sequence takes no room: CSI up to its final byte.
            std::size_t end = i + 2;
            while (end < row.size() && (row[end] < '@' || row[end] > '~')) {
                ++end;
            }
            out += row.substr(i, end + 1 - i);
            i = end;
            continue;
        }
        out += row[i];
        ++visible;
    }
    return out + (kCutMark + 1) + a.plain;
}

}  // namespace

const ButtonView* DefaultButton(const SheetView& sheet) {
    if (sheet.finish.Usable()) {
        return &sheet.finish;
    }
    if (sheet.next.Usable()) {
        return &sheet.next;
    }
    return nullptr;
}

Press FocusedButton(const SheetView& sheet, Press moved) {
    const std::vector<Press> order = FocusOrder(sheet);
    if (std::find(order.begin(), order.end(), moved) != order.end()) {
        return moved;
    }
    const ButtonView* byDefault = sheet.messageBox ? nullptr : DefaultButton(sheet);
    if (byDefault == nullptr) {
        return Press::None;
    }
    return byDefault == &sheet.finish ? Press::Finish : Press::Next;
}

Press MoveFocus(const SheetView& sheet, Press focus, int step) {
    const std::vector<Press> order = FocusOrder(sheet);
    if (order.empty()) {
        return Press::None;
    }
    const auto at = std::find(order.begin(), order.end(), FocusedButton(sheet, focus));
    if (at == order.end()) {
        return step > 0 ? order.front() : order.back();
    }
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    const std::ptrdiff_t index = ((at - order.begin()) + step % count + count) % count;
    return order[static_cast<std::size_t>(index)];
}

bool Animates(const SheetView& sheet) {
    return std::any_of(
        sheet.page.controls.begin(), sheet.page.controls.end(), [](const ControlView& c) {
            return c.visible && ((c.kind == ControlView::Kind::Animation && c.playing) ||
                                 (c.kind == ControlView::Kind::ProgressBar && c.marquee));
        });
}

std::string VisibleText(const std::string& row) {
    std::string out;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '\x1b' && i + 1 < row.size() && row[i + 1] == '[') {
            i += 2;
            while (i < row.size() && (row[i] < '@' || row[i] > '~')) {
                ++i;
            }
            continue;
        }
        out += row[i];
    }
    return out;
}

std::vector<std::string> FrameRows(const SheetView& sheet, TerminalSize size,
                                   const FrameState& state) {
    const Attributes& a = state.colour ? kColour : kNoColour;
    const int width = std::max(size.columns, 1);
    std::vector<Row> rows = AllRows(sheet, width, state, a);
    // The last row stays free: a line feed there would scroll the caption away.
    const std::size_t limit = static_cast<std::size_t>(std::max(size.rows - 1, 1));
    Drop(rows, Keep::Blank, limit);
    Drop(rows, Keep::Text, limit);
    if (rows.size() > limit) {
        rows.resize(limit);  // more than the terminal can show even of what always shows
    }
    std::vector<std::string> out;
    for (const Row& row : rows) {
        out.push_back(Fitted(row.text, width, a));
    }
    return out;
}

}  // namespace portable
