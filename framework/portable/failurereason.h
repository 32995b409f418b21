// A failed run's reason on standard error as well as on the finish page: the page is gone when the
// program ends, and a script that ran the program reads its standard error.
#pragma once

#include <string>
#include <vector>

#include "framework/portable/view.h"

namespace portable {

// Stands between the window model and the view a person sees: passes everything on, and keeps the
// texts of the last page that told the run's outcome (the finish page's title, body and footer).
class OutcomeWatch : public View {
public:
    explicit OutcomeWatch(View& shown) : m_shown(shown) {}

    void Show(const SheetView& sheet, const ViewEvent& event) override;
    Press WaitForPerson(const SheetView& sheet, DWORD timeoutMs) override {
        return m_shown.WaitForPerson(sheet, timeoutMs);
    }
    void Idle(const SheetView& sheet) override { m_shown.Idle(sheet); }
    int PixelsPerInch() const override { return m_shown.PixelsPerInch(); }
    bool CanShowMessageBox() const override { return m_shown.CanShowMessageBox(); }
    bool HasTaskbar() const override { return m_shown.HasTaskbar(); }

    // The outcome texts in the page's order; empty while no page told one.
    const std::vector<std::string>& Outcome() const { return m_outcome; }

private:
    View& m_shown;
    std::vector<std::string> m_outcome;
};

// "PROGRAM: TITLE: REASON", one line, from the outcome texts: the title is the first, the reason
// the second's last paragraph (a failure's text ends with its reason after a blank line), its line
// breaks read as spaces. Without a reason, "PROGRAM: TITLE".
std::string FailureLine(const std::string& program, const std::vector<std::string>& outcome);

}  // namespace portable
