// A page of a property sheet, made from a dialog template. The sheet tells the page when it becomes
// active (OnSetActive) and when Next is pressed on it (OnWizardNext).
#pragma once

#include <string>

#include "framework/wnd.h"
#include "platform/win32api.h"

class CPropertySheet;

class CPropertyPage : public CWnd {
public:
    // Header title and subtitle are string-table ids (0: none), shown above interior wizard pages.
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0, UINT nIDHeaderTitle = 0,
                           UINT nIDHeaderSubTitle = 0);

    // FALSE keeps the page from becoming active.
    virtual BOOL OnSetActive();
    // 0 moves to the next page in order; -1 stays on this page.
    virtual LRESULT OnWizardNext();
    // The page's name in the run log, one word.
    virtual LPCSTR GetLogName() const { return "page"; }

    // The sheet the page belongs to; valid while the sheet runs.
    CPropertySheet* GetSheet() const { return m_pSheet; }

    // Routes the sheet's notifications to the operations above.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    PROPSHEETPAGEA m_psp;

private:
    friend class CPropertySheet;
    CPropertySheet* m_pSheet = nullptr;
    std::string m_strHeaderTitle;
    std::string m_strHeaderSubTitle;
};
