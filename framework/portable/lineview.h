// The wizard off a terminal (pipes, CI): one line per thing a person would notice, each starting
// with a lower-case keyword and a colon, and the person's presses as words, one a line. The line
// format and the words are documented in the README ("The portable wizard's output").
#pragma once

#include <condition_variable>
#include <deque>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/portable/view.h"

namespace portable {

class LineView : public View {
public:
    // `in` must outlive the view unless it has reached its end: a reader still blocked in a read
    // when the view goes away is left behind to finish on its own (std::cin lives until exit).
    LineView(std::istream& in, std::ostream& out);
    ~LineView() override;
    LineView(const LineView&) = delete;
    LineView& operator=(const LineView&) = delete;

    void Show(const SheetView& sheet, const ViewEvent& event) override;
    Press WaitForPerson(const SheetView& sheet, DWORD timeoutMs) override;

private:
    // Shared with the reader thread, which may outlive the view.
    struct Input {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::string> words;
        bool ended = false;    // the stream has no more lines
        bool stop = false;     // the view is going away
        bool reading = false;  // the reader is inside a read of the stream
    };
    // What the person last saw of one control of the active page, to report only changes.
    struct Seen {
        std::optional<std::string> text;      // nullopt while hidden
        bool busy = false;                    // animation visible and playing
        std::optional<std::string> progress;  // "45%" or "marquee"; nullopt while hidden
    };

    static void Read(std::istream& in, std::shared_ptr<Input> input);

    void ShowPage(const SheetView& sheet);
    void ShowControl(const SheetView& sheet, std::size_t index);
    void ShowButtons(const SheetView& sheet);
    std::optional<Press> Take(const SheetView& sheet, const std::string& word);
    void Line(const std::string& keyword, const std::string& value);

    std::ostream& m_out;
    std::shared_ptr<Input> m_input;
    std::thread m_reader;

    std::optional<std::string> m_caption;
    int m_page = -1;  // the page whose lines were written, -1 before the first
    bool m_pageFromOpen = false;
    std::size_t m_titleIndex = 0;  // an exterior page's title control
    std::vector<Seen> m_seen;
    std::optional<std::string> m_buttons;
    std::string m_lastLine;
};

}  // namespace portable
