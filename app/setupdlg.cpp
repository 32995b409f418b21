#include "app/setupdlg.h"

#include <cstring>

#include "app/commandline.h"
#include "app/setupapp.h"
#include "app/workeroutcome.h"
#include "diagnostics/runlog.h"
#include "framework/afxfunctions.h"
#include "resources/resource.h"

namespace {

// No lock: a worker writes the record just before its WN_DONE, and every read comes after that
// notification has been taken from the page's queue (the finish page, the next worker, which starts
// only on the next page) or on the page's own thread. The queue orders the two.
WorkerOutcome g_outcome;

// The style field of a dialog template: at the start of the classic form, 12 bytes into the
// extended form, which begins with version 1 and the signature 0xFFFF.
constexpr std::size_t kExtendedStyleOffset = 12;

// The wizard's bitmaps drawn for the scale nearest to `dpi` (a tie goes to the larger): the sheet
// fits them to its pages, and shrinking blurs less than stretching.
struct WizardBitmaps {
    UINT watermark;
    UINT header;
};
WizardBitmaps WizardBitmapsFor(UINT dpi) {
    if (dpi < 120) {
        return {IDB_WATERMARK, IDB_HEADER};
    }
    if (dpi < 168) {
        return {IDB_WATERMARK_150, IDB_HEADER_150};
    }
    return {IDB_WATERMARK_200, IDB_HEADER_200};
}

bool IsExtendedTemplate(const BYTE* dialog) {
    WORD version;
    WORD signature;
    std::memcpy(&version, dialog, sizeof version);
    std::memcpy(&signature, dialog + 2, sizeof signature);
    return version == 1 && signature == 0xFFFF;
}

}  // namespace

CSetupDlg::CSetupDlg(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(pszCaption, pParentWnd, iSelectPage), m_pTaskbarList(nullptr) {
    CWinApp* app = AfxGetApp();
    m_hIcon = app->LoadIcon(IDI_APP);

    m_psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    m_psh.dwFlags |= PSH_WIZARD97 | PSH_HEADER | PSH_WATERMARK | PSH_USECALLBACK | PSH_USEHICON;
    m_psh.hInstance = app->m_hInstance;
    m_psh.hIcon = m_hIcon;
    // The sheet takes its bitmaps before it has a window: those for the DPI of its owner, or of the
    // screen, where a sheet without one opens.
    const WizardBitmaps bitmaps = WizardBitmapsFor(
        AfxGetWindowDpi(pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr));
    m_psh.pszbmWatermark = MAKEINTRESOURCEA(bitmaps.watermark);
    m_psh.pszbmHeader = MAKEINTRESOURCEA(bitmaps.header);
    m_psh.pfnCallback = SheetCallback;

    LogRequest log;
    for (WizardPage page : SelectWizardPages(TakeLogSwitch(app->m_lpCmdLine, &log).c_str())) {
        switch (page) {
            case WizardPage::Welcome:
                AddPage(&m_welcomePage);
                break;
            case WizardPage::Update:
                AddPage(&m_installingPage);
                break;
            case WizardPage::UsbTest:
                AddPage(&m_testingPage);
                break;
            case WizardPage::DanteTest:
                AddPage(&m_dantePage);
                break;
            case WizardPage::Finish:
                AddPage(&m_finishPage);
                break;
        }
    }
}

CSetupDlg::~CSetupDlg() {
    if (m_pTaskbarList != nullptr) {
        m_pTaskbarList->Release();
    }
}

void CSetupDlg::GetWorkerOutcome(int* pnTitleId, int* pnBodyId, int* pnFooterId, int* pnError) {
    *pnTitleId = g_outcome.nTitleId;
    *pnBodyId = g_outcome.nBodyId;
    *pnFooterId = g_outcome.nFooterId;
    *pnError = g_outcome.nError;
}

void CSetupDlg::SetWorkerOutcome(int nTitleId, int nBodyId, int nFooterId, int nError) {
    runlog::Write("outcome " + runlog::ErrorText(static_cast<DWORD>(nError)));
    g_outcome = WorkerOutcome{nTitleId, nBodyId, nFooterId, nError};
}

int CALLBACK CSetupDlg::SheetCallback(HWND /*hWnd*/, UINT uMsg, LPARAM lParam) {
    if (uMsg == PSCB_PRECREATE && lParam != 0) {
        // No system menu, so no close box, and no help button: work in progress cannot be
        // interrupted from the caption.
        auto* dialog = reinterpret_cast<BYTE*>(lParam);
        BYTE* field = IsExtendedTemplate(dialog) ? dialog + kExtendedStyleOffset : dialog;
        DWORD style;
        std::memcpy(&style, field, sizeof style);
        style &= ~static_cast<DWORD>(WS_SYSMENU | DS_CONTEXTHELP);
        std::memcpy(field, &style, sizeof style);
    }
    return 0;
}

int CSetupDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CPropertySheet::OnCreate(lpCreateStruct) == -1) {
        return -1;
    }
    NONCLIENTMETRICSA metrics;
    std::memset(&metrics, 0, sizeof metrics);
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);

    LOGFONTA font = metrics.lfMessageFont;
    font.lfWeight = FW_BOLD;
    std::strcpy(font.lfFaceName, "Verdana Bold");
    // A 12-point character height at the DPI the sheet is drawn at, to the nearest pixel.
    const UINT dpi = AfxGetWindowDpi(m_hWnd);
    font.lfHeight = -static_cast<LONG>((12 * dpi + 36) / 72);
    m_fontTitle.CreateFontIndirect(&font);
    return 0;
}

BOOL CSetupDlg::OnInitDialog() {
    const BOOL result = CPropertySheet::OnInitDialog();
    char caption[256];
    if (AfxLoadString(IDS_CAPTION, caption, sizeof caption) != 0) {
        SetTitle(caption);
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    void* taskbar = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, &taskbar))) {
        m_pTaskbarList = static_cast<ITaskbarList3*>(taskbar);
        m_pTaskbarList->SetOverlayIcon(m_hWnd, m_hIcon, nullptr);
    }
    return result;
}

void CSetupDlg::OnPaint() {
    if (!IsIconic()) {
        CPropertySheet::OnPaint();
        return;
    }
    // Minimised: the icon, centred in the client area.
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
}

HCURSOR CSetupDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

BOOL CSetupDlg::OnQueryEndSession() {
    if (m_installingPage.IsWorking()) {
        return FALSE;
    }
    return CPropertySheet::OnQueryEndSession();
}
