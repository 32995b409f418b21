// The wizard sheet: a Wizard 97 property sheet with the pages the command line chose, in the order
// welcome, update, USB test, Dante test, finish. No system menu, no help, no Back.
#pragma once

#include "app/dantepage.h"
#include "app/finishpage.h"
#include "app/installingpage.h"
#include "app/testingpage.h"
#include "app/welcomepage.h"
#include "framework/font.h"
#include "framework/propertysheet.h"
#include "platform/win32api.h"

class CSetupDlg : public CPropertySheet {
public:
    CSetupDlg(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CSetupDlg() override;

    // The outcome record of the last stage that ran; process-wide, read and written as a whole.
    // Kept with the sheet, but uses none of its state: a worker reaches it through its page's
    // site, without a window.
    static void GetWorkerOutcome(int* pnTitleId, int* pnBodyId, int* pnFooterId, int* pnError);
    static void SetWorkerOutcome(int nTitleId, int nBodyId, int nFooterId, int nError);

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    BOOL OnInitDialog() override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    // Not while the update runs, box or no box: from "EFWU" until the mixer has been restarted,
    // ending the program could leave the mixer erased or in update mode.
    BOOL OnQueryEndSession() override;

    // Called by the system while it creates the sheet.
    static int CALLBACK SheetCallback(HWND hWnd, UINT uMsg, LPARAM lParam);

    // Taskbar progress; null when there is no taskbar, and after the update page has finished.
    ITaskbarList3* m_pTaskbarList;
    CWelcomePage m_welcomePage;
    CInstallingPage m_installingPage;
    CTestingPage m_testingPage;
    CDantePage m_dantePage;
    CFinishPage m_finishPage;
    // The bold title font of the exterior pages; empty when it could not be made.
    CFont m_fontTitle;
    HICON m_hIcon;
};
