#include "framework/portable/lineview.h"

#include <algorithm>
#include <chrono>
#include <ostream>

#include "framework/frameworkids.h"
#include "framework/portable/interrupts.h"
#include "framework/portable/lineformat.h"

namespace portable {

namespace {

// A page with texts that tell the outcome (the finish page's) has them as its whole message, so
// they get lines of their own.
bool TellsOutcome(const PageView& page) {
    return std::any_of(page.controls.begin(), page.controls.end(),
                       [](const ControlView& c) { return c.role == ControlView::Role::Outcome; });
}

}  // namespace

LineView::LineView(std::istream& in, std::ostream& out) : m_out(out), m_input(in) {}

void LineView::Show(const SheetView& sheet, const ViewEvent& event) {
    switch (event.kind) {
        case ViewEvent::Kind::SheetOpened:
            if (!sheet.caption.empty() && m_caption != sheet.caption) {
                m_caption = sheet.caption;
                Line("caption", sheet.caption);
            }
            // The first page may be reported by the opening alone, or again by its activation.
            if (sheet.activePage >= 0 && sheet.activePage != m_page) {
                ShowPage(sheet);
                m_pageFromOpen = true;
            }
            break;
        case ViewEvent::Kind::CaptionChanged:
            if (m_caption != sheet.caption) {
                m_caption = sheet.caption;
                Line("caption", sheet.caption);
            }
            break;
        case ViewEvent::Kind::PageActivated:
            if (!(m_pageFromOpen && sheet.activePage == m_page)) {
                ShowPage(sheet);
            }
            m_pageFromOpen = false;
            break;
        case ViewEvent::Kind::ControlChanged:
            // Changes made while a page is being activated show in its activation lines.
            if (sheet.activePage == m_page && m_seen.size() == sheet.page.controls.size()) {
                for (std::size_t i = 0; i < m_seen.size(); ++i) {
                    ShowControl(sheet, i);
                }
            }
            break;
        case ViewEvent::Kind::TaskbarState:
            Line("taskbar", TaskbarStateName(sheet.taskbar.state));
            break;
        case ViewEvent::Kind::TaskbarValue:
            Line("taskbar", std::to_string(sheet.taskbar.completed) + "/" +
                                std::to_string(sheet.taskbar.total));
            break;
        case ViewEvent::Kind::TaskbarReleased:
            Line("taskbar", "released");
            break;
        case ViewEvent::Kind::MessageBoxShown:
            Line("message", sheet.messageBox ? sheet.messageBox->text : std::string());
            break;
        case ViewEvent::Kind::MessageBoxClosed:
            Line("answer", event.result == IDOK ? std::string("ok") : std::to_string(event.result));
            break;
        case ViewEvent::Kind::SheetClosed:
            Line("closed", event.result == ID_WIZFINISH ? std::string("finish")
                           : event.result == IDCANCEL   ? std::string("cancel")
                                                        : std::to_string(event.result));
            break;
        case ViewEvent::Kind::InterruptRefused:
            Line("interrupt", kInterruptRefusedText);
            break;
        case ViewEvent::Kind::ButtonChanged:  // buttons show when a person can press them
        case ViewEvent::Kind::TaskbarCreated:
        case ViewEvent::Kind::TaskbarOverlay:
            break;
    }
}

void LineView::ShowPage(const SheetView& sheet) {
    const PageView& page = sheet.page;
    m_page = sheet.activePage;
    m_seen.assign(page.controls.size(), Seen{});
    // Controls named by the heading lines are marked seen so that they are not repeated below.
    const auto heading = [&](std::size_t i, const char* keyword) {
        if (i < page.controls.size()) {
            m_seen[i].text = ShownText(page.controls[i]);
            Line(keyword, page.controls[i].text);
        } else {
            Line(keyword, "");
        }
    };
    if (TellsOutcome(page)) {
        heading(TitleIndex(page), "page");
        for (std::size_t i = 0; i < page.controls.size(); ++i) {
            m_seen[i].text = ShownText(page.controls[i]);
        }
        for (std::size_t i = 0; i < page.controls.size(); ++i) {
            if (page.controls[i].role == ControlView::Role::Outcome) {
                heading(i, "finish");
            }
        }
    } else if (page.exterior) {
        heading(TitleIndex(page), "page");
    } else {
        Line("page", page.headerTitle);
        Line("subtitle", page.headerSubtitle);
    }
    for (std::size_t i = 0; i < page.controls.size(); ++i) {
        ShowControl(sheet, i);
    }
}

void LineView::ShowControl(const SheetView& sheet, std::size_t index) {
    const ControlView& c = sheet.page.controls[index];
    Seen& seen = m_seen[index];
    switch (c.kind) {
        case ControlView::Kind::Text: {
            std::optional<std::string> text = ShownText(c);
            if (text && text != seen.text) {
                const bool finish = c.role == ControlView::Role::Outcome;
                Line(finish ? "finish" : "text", *text);
            }
            seen.text = std::move(text);
            break;
        }
        case ControlView::Kind::Animation: {
            const bool busy = c.visible && c.playing;
            if (busy && !seen.busy) {
                Line("busy", "");
            }
            seen.busy = busy;
            break;
        }
        case ControlView::Kind::ProgressBar: {
            std::optional<std::string> progress = ShownProgress(c);
            if (progress && progress != seen.progress && m_lastLine != "progress: " + *progress) {
                Line("progress", *progress);
            }
            seen.progress = std::move(progress);
            break;
        }
    }
}

void LineView::ShowButtons(const SheetView& sheet) {
    std::string list;
    for (const ButtonView* button : {&sheet.back, &sheet.next, &sheet.finish, &sheet.cancel}) {
        if (button->Usable()) {
            list += (list.empty() ? "" : ", ") + ButtonName(*button);
        }
    }
    if (!list.empty() && m_buttons != list) {
        m_buttons = list;
        Line("buttons", list);
    }
}

Press LineView::WaitForPerson(const SheetView& sheet, DWORD timeoutMs) {
    if (!sheet.messageBox) {
        ShowButtons(sheet);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::string word;
        switch (m_input.Next(deadline, &word)) {
            case LineInput::Result::None:
                return Press::None;
            case LineInput::Result::Ended:
                return Press::InputEnded;
            case LineInput::Result::Word:
                if (const std::optional<Press> press = Take(sheet, word)) {
                    return *press;
                }
                break;
        }
    }
}

std::optional<Press> LineView::Take(const SheetView& sheet, const std::string& word) {
    const std::string w = Lower(word);
    std::optional<Press> press;
    bool usable = false;
    if (w == "ok") {
        press = Press::Ok;
        usable = sheet.messageBox.has_value();
    } else if (w == "next") {
        press = Press::Next;
        usable = !sheet.messageBox && sheet.next.Usable();
    } else if (w == "finish") {
        press = Press::Finish;
        usable = !sheet.messageBox && sheet.finish.Usable();
    } else if (w == "cancel") {
        press = Press::Cancel;
        usable = !sheet.messageBox && sheet.cancel.Usable();
    }
    if (!press) {
        Line("input", "unknown word \"" + word + "\"");
        return std::nullopt;
    }
    if (!usable) {
        Line("input", "\"" + word + "\" is not available now");
        return std::nullopt;
    }
    return press;
}

void LineView::Line(const std::string& keyword, const std::string& value) {
    std::string line = keyword + ":";
    if (!value.empty()) {
        line += " " + Escaped(value);
    }
    m_out << line << '\n' << std::flush;
    m_lastLine = std::move(line);
}

}  // namespace portable
