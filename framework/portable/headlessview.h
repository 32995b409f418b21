// A view for tests: it remembers everything it was shown and presses what the test scripted.
#pragma once

#include <cstddef>
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

    int PixelsPerInch() const override { return pixelsPerInch_; }
    bool CanShowMessageBox() const override { return canShowMessageBox_; }
    bool HasTaskbar() const override { return hasTaskbar_; }

    void Script(std::vector<Press> presses);
    void SetPixelsPerInch(int pixelsPerInch) { pixelsPerInch_ = pixelsPerInch; }
    void SetCanShowMessageBox(bool can) { canShowMessageBox_ = can; }
    void SetHasTaskbar(bool has) { hasTaskbar_ = has; }

    const std::vector<Entry>& Entries() const { return entries_; }
    std::vector<Entry> Events(ViewEvent::Kind kind) const;
    // The dialog template of each page in the order the pages were activated.
    std::vector<int> ActivatedTemplates() const;
    // How many times the wizard asked for a person, and what the sheet showed each time.
    int Waits() const { return waits_; }
    const std::vector<SheetView>& WaitStates() const { return waitStates_; }

private:
    std::vector<Entry> entries_;
    std::vector<Press> script_;
    std::size_t next_ = 0;
    int waits_ = 0;
    std::vector<SheetView> waitStates_;
    int pixelsPerInch_ = 96;
    bool canShowMessageBox_ = true;
    bool hasTaskbar_ = true;
};

}  // namespace portable
