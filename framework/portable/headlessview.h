// A view for tests: it remembers everything it was shown and presses what the test scripted.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "framework/portable/view.h"

namespace portable {

class HeadlessView : public View {
public:
    struct Entry {
        SheetView sheet;  // the whole sheet as it was at the event
        ViewEvent event;
    };

    void Show(const SheetView& sheet, const ViewEvent& event) override;
    // The next scripted press, whatever the sheet shows; InputEnded once the script is used up.
    Press WaitForPerson(const SheetView& sheet, DWORD timeoutMs) override;

    int PixelsPerInch() const override { return m_pixelsPerInch; }
    bool CanShowMessageBox() const override { return m_canShowMessageBox; }
    bool HasTaskbar() const override { return m_hasTaskbar; }

    void Script(std::vector<Press> presses);
    void SetPixelsPerInch(int pixelsPerInch) { m_pixelsPerInch = pixelsPerInch; }
    void SetCanShowMessageBox(bool can) { m_canShowMessageBox = can; }
    void SetHasTaskbar(bool has) { m_hasTaskbar = has; }

    // For a test's worker thread: waits until the view has been shown a sheet that `shown` accepts,
    // or for `timeoutMs`; true when it has. A worker can so wait for what a person would see
    // before it goes on, as a real worker's work would take that long.
    bool WaitUntilShown(const std::function<bool(const SheetView&)>& shown, DWORD timeoutMs);

    // The rest is for the test's own thread, once the wizard has run.
    const std::vector<Entry>& Entries() const { return m_entries; }
    std::vector<Entry> Events(ViewEvent::Kind kind) const;
    // The dialog template of each page in the order the pages were activated.
    std::vector<int> ActivatedTemplates() const;
    // How many times the wizard asked for a person, and what the sheet showed each time.
    int Waits() const { return m_waits; }
    const std::vector<SheetView>& WaitStates() const { return m_waitStates; }

private:
    std::mutex m_mutex;  // m_entries, which a worker may read through WaitUntilShown
    std::condition_variable m_shown;
    std::vector<Entry> m_entries;
    std::vector<Press> m_script;
    std::size_t m_next = 0;
    int m_waits = 0;
    std::vector<SheetView> m_waitStates;
    int m_pixelsPerInch = 96;
    bool m_canShowMessageBox = true;
    bool m_hasTaskbar = true;
};

}  // namespace portable
