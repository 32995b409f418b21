#include "framework/portable/lineview.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <istream>
#include <ostream>

#include "framework/frameworkids.h"
#include "framework/portable/interrupts.h"

namespace portable {

namespace {

// The finish page's three texts are its whole message, so they get lines of their own.
constexpr int kFinishTitle = 1003;
constexpr int kFinishBody = 1004;
constexpr int kFinishFooter = 1005;

// Enough read-ahead for a scripted run; a reader that gets further ahead waits for the wizard.
constexpr std::size_t kMaxQueuedWords = 64;
// How long the view waits at its end for a reader inside a read. A read of a stream that has its
// data finishes at once; one blocked on a silent pipe or terminal would keep the view for ever.
constexpr std::chrono::milliseconds kReaderGrace{250};

std::string Trimmed(const std::string& s) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(s.begin(), s.end(), blank);
    const auto last = std::find_if_not(s.rbegin(), s.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string Lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

// One line per event: a line break inside a text must not start a line of its own.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

// "&Next >" reads "next": the arrows are decoration too.
std::string ButtonName(const ButtonView& button) {
    std::string name = button.Label();
    name.erase(
        std::remove_if(name.begin(), name.end(), [](char c) { return c == '<' || c == '>'; }),
        name.end());
    return Lower(Trimmed(name));
}

bool IsFinishPage(const PageView& page) {
    const auto has = [&](int id) {
        return std::any_of(page.controls.begin(), page.controls.end(),
                           [id](const ControlView& c) { return c.id == id; });
    };
    return has(kFinishTitle) && has(kFinishBody) && has(kFinishFooter);
}

bool IsFinishText(int id) {
    return id == kFinishTitle || id == kFinishBody || id == kFinishFooter;
}

std::optional<std::string> ShownText(const ControlView& c) {
    if (c.kind != ControlView::Kind::Text || !c.visible || c.text.empty()) {
        return std::nullopt;
    }
    return c.text;
}

std::optional<std::string> ShownProgress(const ControlView& c) {
    if (c.kind != ControlView::Kind::ProgressBar || !c.visible) {
        return std::nullopt;
    }
    if (c.marquee) {
        return "marquee";
    }
    return std::to_string(std::clamp(c.position, 0, 100)) + "%";
}

// The exterior page's title: its bold text, or its first text when the bold font has not come.
std::size_t TitleIndex(const PageView& page) {
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < page.controls.size(); ++i) {
        if (!ShownText(page.controls[i])) {
            continue;
        }
        if (page.controls[i].bold) {
            return i;
        }
        if (!first) {
            first = i;
        }
    }
    return first.value_or(page.controls.size());
}

const char* TaskbarStateName(TBPFLAG state) {
    switch (state) {
        case TBPF_NOPROGRESS:
            return "none";
        case TBPF_INDETERMINATE:
            return "indeterminate";
        case TBPF_NORMAL:
            return "normal";
        case TBPF_ERROR:
            return "error";
        case TBPF_PAUSED:
            return "paused";
    }
    return "unknown";
}

}  // namespace

LineView::LineView(std::istream& in, std::ostream& out)
    : m_out(out), m_input(std::make_shared<Input>()) {
    m_reader = std::thread(&LineView::Read, std::ref(in), m_input);
}

LineView::~LineView() {
    std::unique_lock lock(m_input->mutex);
    m_input->stop = true;
    m_input->changed.notify_all();
    const bool idle =
        m_input->changed.wait_for(lock, kReaderGrace, [this] { return !m_input->reading; });
    lock.unlock();
    // A reader outside a read sees `stop` before it touches the stream again, so joining it is
    // quick; one still blocked keeps its own share of the queue and ends with its read.
    if (idle) {
        m_reader.join();
    } else {
        m_reader.detach();
    }
}

void LineView::Read(std::istream& in, std::shared_ptr<Input> input) {
    std::string line;
    for (;;) {
        {
            std::unique_lock lock(input->mutex);
            input->changed.wait(
                lock, [&] { return input->stop || input->words.size() < kMaxQueuedWords; });
            if (input->stop) {
                return;
            }
            input->reading = true;
        }
        const bool got = static_cast<bool>(std::getline(in, line));
        std::lock_guard lock(input->mutex);
        input->reading = false;
        if (!got) {
            input->ended = true;
        } else if (std::string word = Trimmed(line); !word.empty()) {
            input->words.push_back(std::move(word));
        }
        input->changed.notify_all();
        if (input->ended) {
            return;
        }
    }
}

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
    if (IsFinishPage(page)) {
        heading(TitleIndex(page), "page");
        for (std::size_t i = 0; i < page.controls.size(); ++i) {
            m_seen[i].text = ShownText(page.controls[i]);
        }
        for (int id : {kFinishTitle, kFinishBody, kFinishFooter}) {
            for (std::size_t i = 0; i < page.controls.size(); ++i) {
                if (page.controls[i].id == id) {
                    heading(i, "finish");
                    break;
                }
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
                const bool finish = IsFinishText(c.id) && IsFinishPage(sheet.page);
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
    std::unique_lock lock(m_input->mutex);
    for (;;) {
        m_input->changed.wait_until(lock, deadline,
                                    [this] { return !m_input->words.empty() || m_input->ended; });
        if (m_input->words.empty()) {
            return m_input->ended ? Press::InputEnded : Press::None;
        }
        const std::string word = std::move(m_input->words.front());
        m_input->words.pop_front();
        m_input->changed.notify_all();  // room for the reader
        lock.unlock();
        if (const std::optional<Press> press = Take(sheet, word)) {
            return *press;
        }
        lock.lock();
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
