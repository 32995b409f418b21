// The modal run of a wizard sheet in the portable window model, with the behaviour of the common
// controls' wizard: pages in order, each created from its dialog template when first shown; the
// Back, Next, Finish and Cancel buttons as child windows of the sheet; PSM_SETWIZBUTTONS,
// PSM_PRESSBUTTON (which acts even on a disabled button) and PSM_SETFINISHTEXTA.
#include <cstring>
#include <vector>

#include "framework/portable/windowmodel.h"
#include "framework/propertysheet.h"
#include "platform/portable/unsupported.h"
#include "resources/dialogtemplate.h"

using portable::Window;
using portable::WindowModel;

namespace {

// The sheet's own dialog template as the common controls hand it to the pre-create callback: the
// extended form, whose style field lies 12 bytes in.
constexpr DWORD kSheetStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CONTEXTHELP;
constexpr std::size_t kExtendedStyleOffset = 12;

std::vector<BYTE> SheetTemplate() {
    std::vector<BYTE> bytes(64, 0);
    const WORD version = 1;
    const WORD signature = 0xFFFF;
    std::memcpy(bytes.data(), &version, sizeof version);
    std::memcpy(bytes.data() + 2, &signature, sizeof signature);
    std::memcpy(bytes.data() + kExtendedStyleOffset, &kSheetStyle, sizeof kSheetStyle);
    return bytes;
}

DWORD StyleOf(const std::vector<BYTE>& bytes) {
    DWORD style;
    std::memcpy(&style, bytes.data() + kExtendedStyleOffset, sizeof style);
    return style;
}

std::string LoadText(HINSTANCE hInstance, LPCSTR text) {
    if (text == nullptr) {
        return std::string();
    }
    if (!IS_INTRESOURCE(text)) {
        return text;
    }
    char buffer[256];
    const int length = LoadStringA(hInstance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)),
                                   buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace

class CPropertySheetRun final : public portable::SheetBehaviour {
public:
    explicit CPropertySheetRun(CPropertySheet& sheet) : m_sheet(sheet) {}

    INT_PTR Run();

    LRESULT SheetMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int ActivePageIndex() const override { return m_active; }
    HWND ActivePageWindow() const override {
        return m_active >= 0 ? m_pageWindows[static_cast<std::size_t>(m_active)] : nullptr;
    }
    void Press(portable::Press press) override;

private:
    HWND Button(int id) const { return GetDlgItem(m_sheet.m_hWnd, id); }
    HWND CreateButton(int id, const char* text, bool visible);
    HWND PageWindow(int index);
    LRESULT Notify(int index, UINT code);
    bool Activate(int index);
    void PressButton(int button);
    void SetWizardButtons(DWORD flags);
    void SetFinishText(LPCSTR text);
    void Close(INT_PTR result);
    void DestroyAll();

    CPropertySheet& m_sheet;
    WindowModel& m_model = WindowModel::Instance();
    std::vector<HWND> m_pageWindows;
    int m_active = -1;
    bool m_ended = false;
};

INT_PTR CPropertySheetRun::Run() {
    if (m_model.Sheet() != nullptr || m_sheet.m_pages.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);  // one wizard at a time, with at least one page
        return -1;
    }
    PROPSHEETHEADERA& header = m_sheet.m_psh;
    std::vector<BYTE> dialog = SheetTemplate();
    if ((header.dwFlags & PSH_USECALLBACK) != 0 && header.pfnCallback != nullptr) {
        header.pfnCallback(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(dialog.data()));
    }

    Window frame;
    frame.kind = Window::Kind::Sheet;
    frame.text = LoadText(header.hInstance, header.pszCaption);
    frame.style = StyleOf(dialog);
    const HWND hWnd = m_model.Create(frame);
    m_sheet.Attach(hWnd);
    m_model.BeginSheet(hWnd, this);

    CREATESTRUCTA create{};
    create.hInstance = header.hInstance;
    create.hwndParent = header.hwndParent;
    create.style = static_cast<LONG>(frame.style);
    create.lpszName = header.pszCaption;
    if (SendMessageA(hWnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyAll();
        return -1;
    }
    CreateButton(ID_WIZBACK, "< &Back", true);
    CreateButton(ID_WIZNEXT, "&Next >", true);
    CreateButton(ID_WIZFINISH, "&Finish", false);
    CreateButton(IDCANCEL, "Cancel", true);
    m_pageWindows.assign(m_sheet.m_pages.size(), nullptr);

    SendMessageA(hWnd, WM_INITDIALOG, 0, 0);
    if ((header.dwFlags & PSH_USECALLBACK) != 0 && header.pfnCallback != nullptr) {
        header.pfnCallback(hWnd, PSCB_INITIALIZED, 0);
    }
    m_model.Report(portable::ViewEvent::Kind::SheetOpened);
    const int start =
        header.nStartPage < m_sheet.m_pages.size() ? static_cast<int>(header.nStartPage) : 0;
    Activate(start);

    m_model.RunUntil([this] { return m_ended; });
    const INT_PTR result = m_sheet.m_nModalResult;
    m_model.Report(portable::ViewEvent::Kind::SheetClosed, 0, 0, result);
    DestroyAll();
    return result;
}

HWND CPropertySheetRun::CreateButton(int id, const char* text, bool visible) {
    Window button;
    button.kind = Window::Kind::Button;
    button.parent = m_sheet.m_hWnd;
    button.id = id;
    button.text = text;
    button.visible = visible;
    return m_model.Create(button);
}

HWND CPropertySheetRun::PageWindow(int index) {
    HWND& hWnd = m_pageWindows[static_cast<std::size_t>(index)];
    if (hWnd != nullptr) {
        return hWnd;
    }
    CPropertyPage* page = m_sheet.m_pages[static_cast<std::size_t>(index)];
    const PROPSHEETPAGEA& psp = page->m_psp;
    if ((psp.dwFlags & PSP_DLGINDIRECT) != 0 || !IS_INTRESOURCE(psp.pszTemplate)) {
        return nullptr;  // only templates of the program's resources, by number
    }
    const int templateId = static_cast<int>(reinterpret_cast<ULONG_PTR>(psp.pszTemplate));
    const DialogTemplate* dialog = FindDialogTemplate(templateId);
    if (dialog == nullptr) {
        return nullptr;
    }
    Window window;
    window.kind = Window::Kind::Page;
    window.parent = m_sheet.m_hWnd;
    window.visible = false;
    window.templateId = templateId;
    window.exterior = (psp.dwFlags & PSP_HIDEHEADER) != 0;
    if ((psp.dwFlags & PSP_USEHEADERTITLE) != 0) {
        window.headerTitle = LoadText(psp.hInstance, psp.pszHeaderTitle);
    }
    if ((psp.dwFlags & PSP_USEHEADERSUBTITLE) != 0) {
        window.headerSubtitle = LoadText(psp.hInstance, psp.pszHeaderSubTitle);
    }
    hWnd = m_model.Create(window);
    for (const DialogControl& control : dialog->controls) {
        Window child;
        child.parent = hWnd;
        child.id = control.id;
        switch (control.kind) {
            case DialogControl::Kind::Text:
                child.kind = Window::Kind::Text;
                child.text = control.text;
                child.role = control.role == DialogControl::Role::Outcome
                                 ? portable::ControlView::Role::Outcome
                                 : portable::ControlView::Role::Plain;
                break;
            case DialogControl::Kind::Animation:
                child.kind = Window::Kind::Animation;
                child.style = ACS_CENTER | ACS_TRANSPARENT;
                break;
            case DialogControl::Kind::ProgressBar:
                child.kind = Window::Kind::ProgressBar;
                child.style = WS_BORDER;
                break;
        }
        m_model.Create(child);
    }
    page->Attach(hWnd);
    SendMessageA(hWnd, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&psp));
    return hWnd;
}

LRESULT CPropertySheetRun::Notify(int index, UINT code) {
    const HWND page = PageWindow(index);
    if (page == nullptr) {
        return -1;
    }
    PSHNOTIFY notify{};
    notify.hdr.hwndFrom = m_sheet.m_hWnd;
    notify.hdr.idFrom = 0;
    notify.hdr.code = code;
    return SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

// Shows the first page from `index` on that agrees to be shown. The wizard only goes forward: no
// page enables Back.
bool CPropertySheetRun::Activate(int index) {
    const int count = static_cast<int>(m_sheet.m_pages.size());
    for (int candidate = index; candidate < count; ++candidate) {
        if (Notify(candidate, PSN_SETACTIVE) != 0) {
            continue;
        }
        const HWND previous = ActivePageWindow();
        m_active = candidate;
        if (previous != nullptr && previous != ActivePageWindow()) {
            m_model.Find(previous)->visible = false;
        }
        m_model.Find(ActivePageWindow())->visible = true;
        m_model.Report(portable::ViewEvent::Kind::PageActivated);
        return true;
    }
    return false;
}

void CPropertySheetRun::PressButton(int button) {
    if (m_ended || m_active < 0) {
        return;
    }
    switch (button) {
        case PSBTN_NEXT:
            if (Notify(m_active, PSN_WIZNEXT) == 0) {
                Activate(m_active + 1);
            }
            break;
        case PSBTN_FINISH:
            if (Notify(m_active, PSN_WIZFINISH) == 0) {
                Close(ID_WIZFINISH);
            }
            break;
        case PSBTN_CANCEL:
            if (Notify(m_active, PSN_QUERYCANCEL) == 0) {
                Close(IDCANCEL);
            }
            break;
        default:
            portable::Unsupported("PSM_PRESSBUTTON with a button the wizard does not press");
    }
}

void CPropertySheetRun::SetWizardButtons(DWORD flags) {
    EnableWindow(Button(ID_WIZBACK), (flags & PSWIZB_BACK) != 0);
    const bool finish = (flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
    // A wizard shows Finish in the place of Next.
    ShowWindow(Button(ID_WIZNEXT), finish ? SW_HIDE : SW_SHOW);
    ShowWindow(Button(ID_WIZFINISH), finish ? SW_SHOW : SW_HIDE);
    EnableWindow(Button(ID_WIZNEXT), (flags & PSWIZB_NEXT) != 0);
    EnableWindow(Button(ID_WIZFINISH), (flags & PSWIZB_FINISH) != 0);
}

void CPropertySheetRun::SetFinishText(LPCSTR text) {
    // The Finish button takes the text and shows, enabled; Back and Next go.
    SetWindowTextA(Button(ID_WIZFINISH), text);
    ShowWindow(Button(ID_WIZBACK), SW_HIDE);
    ShowWindow(Button(ID_WIZNEXT), SW_HIDE);
    ShowWindow(Button(ID_WIZFINISH), SW_SHOW);
    EnableWindow(Button(ID_WIZFINISH), TRUE);
}

LRESULT CPropertySheetRun::SheetMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case PSM_SETWIZBUTTONS:
            SetWizardButtons(static_cast<DWORD>(lParam));
            return 0;
        case PSM_PRESSBUTTON:
            PressButton(static_cast<int>(wParam));
            return 0;
        case PSM_SETFINISHTEXTA:
            SetFinishText(reinterpret_cast<LPCSTR>(lParam));
            return 0;
        default:
            return 0;
    }
}

void CPropertySheetRun::Press(portable::Press press) {
    // A person can only press a button that shows and is enabled.
    const auto usable = [this](int id) {
        const HWND button = Button(id);
        return IsWindowVisible(button) && IsWindowEnabled(button);
    };
    switch (press) {
        case portable::Press::Next:
            if (usable(ID_WIZNEXT)) {
                PressButton(PSBTN_NEXT);
            }
            break;
        case portable::Press::Finish:
            if (usable(ID_WIZFINISH)) {
                PressButton(PSBTN_FINISH);
            }
            break;
        case portable::Press::Cancel:
            if (usable(IDCANCEL)) {
                PressButton(PSBTN_CANCEL);
            }
            break;
        default:
            break;
    }
}

void CPropertySheetRun::Close(INT_PTR result) {
    m_sheet.m_nModalResult = result;
    m_ended = true;
}

void CPropertySheetRun::DestroyAll() {
    const HWND hWnd = m_sheet.m_hWnd;
    m_model.Destroy(hWnd);  // with the buttons, the pages and their controls
    m_model.EndSheet();
    CWnd::DeleteTempMap();
}

INT_PTR CPropertySheet::DoModal() {
    m_nModalResult = 0;
    return CPropertySheetRun(*this).Run();
}
