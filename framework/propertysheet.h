// A property sheet in the wizard style, run modally. The sheet's window handles its own creation,
// painting and the wizard messages PSM_SETWIZBUTTONS, PSM_PRESSBUTTON and PSM_SETFINISHTEXTA as the
// common controls do; PSM_PRESSBUTTON acts even on a button that is disabled.
#pragma once

#include <vector>

#include "framework/frameworkids.h"
#include "framework/propertypage.h"
#include "framework/wnd.h"
#include "platform/win32api.h"

class CPropertySheet : public CWnd {
public:
    CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* pPage);

    // Creates the sheet and its pages and runs it until it closes: ID_WIZFINISH after Finish,
    // IDCANCEL after Cancel, -1 when the sheet could not be created.
    virtual INT_PTR DoModal();

    void SetTitle(LPCSTR lpszText, UINT nStyle = 0);
    // Posted, as the common controls' own macros do.
    void SetWizardButtons(DWORD dwFlags);
    void PressButton(int nButton);
    void SetFinishText(LPCSTR lpszText);
    // What DoModal returns once the sheet closes.
    void SetModalResult(INT_PTR nResult) { m_nModalResult = nResult; }

    // The sheet window's message map.
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual BOOL OnInitDialog();
    virtual void OnPaint();
    virtual HCURSOR OnQueryDragIcon();
    // Whether the program may end now, asked before the session (or, off Windows, an
    // interruption) ends it; TRUE unless a derived sheet objects.
    virtual BOOL OnQueryEndSession();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    PROPSHEETHEADERA m_psh;

private:
    friend class CPropertySheetRun;
    std::vector<CPropertyPage*> m_pages;
    INT_PTR m_nModalResult = 0;
    std::string m_strCaption;
};
