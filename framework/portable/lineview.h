// The wizard off a terminal (pipes, CI): one line per thing a person would notice, each starting
// with a lower-case keyword and a colon, and the person's presses as words, one a line. The line
// format and the words are documented in the README ("The portable wizard's output"). The values
// of the lines are lineformat.h's; the words are read by a LineInput.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "framework/portable/lineinput.h"
#include "framework/portable/view.h"

namespace portable {

class LineView : public View {
public:
    // `in` must outlive the view unless it has reached its end (LineInput).
    LineView(std::istream& in, std::ostream& out);
    LineView(const LineView&) = delete;
    LineView& operator=(const LineView&) = delete;

    void Show(const SheetView& sheet, const ViewEvent& event) override;
    Press WaitForPerson(const SheetView& sheet, DWORD timeoutMs) override;

private:
    // What the person last saw of one control of the active page, to report only changes.
    struct Seen {
        std::optional<std::string> text;      // nullopt while hidden
        bool busy = false;                    // animation visible and playing
        std::optional<std::string> progress;  // "45%" or "marquee"; nullopt while hidden
    };

    void ShowPage(const SheetView& sheet);
    void ShowControl(const SheetView& sheet, std::size_t index);
    void ShowButtons(const SheetView& sheet);
    std::optional<Press> Take(const SheetView& sheet, const std::string& word);
    void Line(const std::string& keyword, const std::string& value);

    std::ostream& m_out;
    LineInput m_input;

    std::optional<std::string> m_caption;
    int m_page = -1;  // the page whose lines were written, -1 before the first
    bool m_pageFromOpen = false;
    std::size_t m_titleIndex = 0;  // an exterior page's title control
    std::vector<Seen> m_seen;
    std::optional<std::string> m_buttons;
    std::string m_lastLine;
};

}  // namespace portable
