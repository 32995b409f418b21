#include "framework/portable/failurereason.h"

#include <algorithm>

#include "framework/portable/lineformat.h"

namespace portable {

namespace {

// The last paragraph of a text, on one line: blank lines part the paragraphs, and Windows' line
// breaks count as one.
std::string LastParagraph(std::string text) {
    std::erase(text, '\r');
    text = Trimmed(text);
    const std::size_t blank = text.rfind("\n\n");
    std::string paragraph = Trimmed(blank == std::string::npos ? text : text.substr(blank + 2));
    std::replace(paragraph.begin(), paragraph.end(), '\n', ' ');
    return paragraph;
}

}  // namespace

void OutcomeWatch::Show(const SheetView& sheet, const ViewEvent& event) {
    std::vector<std::string> outcome;
    for (const ControlView& c : sheet.page.controls) {
        if (c.role == ControlView::Role::Outcome && c.visible) {
            outcome.push_back(c.text);
        }
    }
    if (!outcome.empty()) {
        m_outcome = std::move(outcome);
    }
    m_shown.Show(sheet, event);
}

std::string FailureLine(const std::string& program, const std::vector<std::string>& outcome) {
    std::string line = program;
    if (!outcome.empty()) {
        line += ": " + LastParagraph(outcome[0]);
    }
    if (outcome.size() > 1) {
        if (const std::string reason = LastParagraph(outcome[1]); !reason.empty()) {
            line += ": " + reason;
        }
    }
    return line;
}

}  // namespace portable
