#include "framework/portable/headlessview.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace portable {

void HeadlessView::Show(const SheetView& sheet, const ViewEvent& event) {
    std::lock_guard lock(m_mutex);
    m_entries.push_back({sheet, event});
    m_shown.notify_all();
}

bool HeadlessView::WaitUntilShown(const std::function<bool(const SheetView&)>& shown,
                                  DWORD timeoutMs) {
    std::unique_lock lock(m_mutex);
    return m_shown.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return std::any_of(m_entries.begin(), m_entries.end(),
                           [&](const Entry& entry) { return shown(entry.sheet); });
    });
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
