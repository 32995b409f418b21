#include "framework/portable/headlessview.h"

#include <utility>

namespace portable {

void HeadlessView::Show(const SheetView& sheet, const ViewEvent& event) {
    entries_.push_back({sheet, event});
}

Press HeadlessView::WaitForPerson(const SheetView& sheet, DWORD timeoutMs) {
    (void)sheet;
    (void)timeoutMs;
    ++waits_;
    waitStates_.push_back(sheet);
    return next_ < script_.size() ? script_[next_++] : Press::InputEnded;
}

void HeadlessView::Script(std::vector<Press> presses) {
    script_ = std::move(presses);
    next_ = 0;
}

std::vector<HeadlessView::Entry> HeadlessView::Events(ViewEvent::Kind kind) const {
    std::vector<Entry> found;
    for (const Entry& entry : entries_) {
        if (entry.event.kind == kind) {
            found.push_back(entry);
        }
    }
    return found;
}

std::vector<int> HeadlessView::ActivatedTemplates() const {
    std::vector<int> templates;
    for (const Entry& entry : entries_) {
        if (entry.event.kind == ViewEvent::Kind::PageActivated) {
            templates.push_back(entry.sheet.page.templateId);
        }
    }
    return templates;
}

}  // namespace portable
