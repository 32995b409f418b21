#include "framework/portable/headlessview.h"

#include <utility>

namespace portable {

void HeadlessView::Show(const SheetView& sheet, const ViewEvent& event) {
    m_entries.push_back({sheet, event});
}

Press HeadlessView::WaitForPerson(const SheetView& sheet, DWORD timeoutMs) {
    (void)sheet;
    (void)timeoutMs;
    ++m_waits;
    m_waitStates.push_back(sheet);
    return m_next < m_script.size() ? m_script[m_next++] : Press::InputEnded;
}

void HeadlessView::Script(std::vector<Press> presses) {
    m_script = std::move(presses);
    m_next = 0;
}

std::vector<HeadlessView::Entry> HeadlessView::Events(ViewEvent::Kind kind) const {
    std::vector<Entry> found;
    for (const Entry& entry : m_entries) {
        if (entry.event.kind == kind) {
            found.push_back(entry);
        }
    }
    return found;
}

std::vector<int> HeadlessView::ActivatedTemplates() const {
    std::vector<int> templates;
    for (const Entry& entry : m_entries) {
        if (entry.event.kind == ViewEvent::Kind::PageActivated) {
            templates.push_back(entry.sheet.page.templateId);
        }
    }
    return templates;
}

}  // namespace portable
