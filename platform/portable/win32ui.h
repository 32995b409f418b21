// Windows, messages, common controls, property sheets, fonts, message boxes, threads and the shell
// taskbar for builds without Windows. The window functions are served by the portable framework's
// window model (framework/portable/), which keeps the message semantics of Windows: a posted
// message runs after the current handler, a sent one at once, a notification from another thread is
// queued.
#pragma once

#include "platform/portable/win32devices.h"
#include "platform/portable/win32types.h"

#define VANTOR_DECLARE_HANDLE(name) \
    struct name##__;                \
    typedef struct name##__* name
VANTOR_DECLARE_HANDLE(HICON);
VANTOR_DECLARE_HANDLE(HFONT);
VANTOR_DECLARE_HANDLE(HDC);
VANTOR_DECLARE_HANDLE(HBITMAP);
VANTOR_DECLARE_HANDLE(HMENU);
#undef VANTOR_DECLARE_HANDLE
typedef HICON HCURSOR;
typedef void* HGDIOBJ;
typedef void* HPROPSHEETPAGE;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;

struct POINT {
    LONG x;
    LONG y;
};

// Messages.
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_QUERYENDSESSION 0x0011
#define WM_ICONERASEBKGND 0x0027
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_QUERYDRAGICON 0x0037
#define WM_NOTIFY 0x004E
#define WM_SETICON 0x0080
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_USER 0x0400
#define WM_APP 0x8000
#define ICON_SMALL 0
#define ICON_BIG 1

// Window styles and states.
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_SYSMENU 0x00080000L
#define DS_MODALFRAME 0x80L
#define DS_SETFONT 0x40L
#define DS_CONTEXTHELP 0x2000L
#define GWL_STYLE (-16)
#define SW_HIDE 0
#define SW_SHOW 5
#define SW_MINIMIZE 6

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};
typedef CREATESTRUCTA* LPCREATESTRUCTA;
typedef CREATESTRUCTA CREATESTRUCT;
typedef CREATESTRUCTA* LPCREATESTRUCT;

// The dialog template header in its classic form. The extended form (DLGTEMPLATEEX) begins with the
// version 1 and the signature 0xFFFF, and holds the style 12 bytes in.
#pragma pack(push, 2)
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};
#pragma pack(pop)
typedef DLGTEMPLATE* LPDLGTEMPLATE;
typedef DLGTEMPLATE* LPDLGTEMPLATEA;

// Messages to and from windows. SendMessageA from a thread other than the window's waits until the
// window's thread has handled it; SendNotifyMessageA from such a thread returns at once.
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL SendNotifyMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND hWnd);
HWND GetParent(HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
int GetDlgCtrlID(HWND hWnd);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL IsWindowVisible(HWND hWnd);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsWindowEnabled(HWND hWnd);
BOOL IsIconic(HWND hWnd);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
LONG GetWindowLongA(HWND hWnd, int nIndex);
LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
// The behaviour of the window's own class: the sheet's wizard messages, the controls' messages.
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Painting. The portable windows are drawn by a view, never minimised and never sent WM_PAINT;
// these exist for the code that paints a minimised sheet on Windows.
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
typedef PAINTSTRUCT* LPPAINTSTRUCT;
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon);
#define SM_CXICON 11
#define SM_CYICON 12
int GetSystemMetrics(int nIndex);

// Screen and fonts. The screen's pixels per inch are the view's: 96 unless a test sets another.
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
#define LOGPIXELSX 88
#define LOGPIXELSY 90
int GetDeviceCaps(HDC hdc, int index);

#define LF_FACESIZE 32
#define FW_NORMAL 400
#define FW_BOLD 700
struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};
typedef LOGFONTA* LPLOGFONTA;
HFONT CreateFontIndirectA(const LOGFONTA* lplf);
BOOL DeleteObject(HGDIOBJ ho);
// Supported for fonts: fills a LOGFONTA.
int GetObjectA(HANDLE h, int c, LPVOID pv);

struct NONCLIENTMETRICSA {
    UINT cbSize;
    int iBorderWidth;
    int iScrollWidth;
    int iScrollHeight;
    int iCaptionWidth;
    int iCaptionHeight;
    LOGFONTA lfCaptionFont;
    int iSmCaptionWidth;
    int iSmCaptionHeight;
    LOGFONTA lfSmCaptionFont;
    int iMenuWidth;
    int iMenuHeight;
    LOGFONTA lfMenuFont;
    LOGFONTA lfStatusFont;
    LOGFONTA lfMessageFont;
    int iPaddedBorderWidth;
};
#define SPI_GETNONCLIENTMETRICS 0x0029
// Supported: SPI_GETNONCLIENTMETRICS, whose size field must be that of the structure.
BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni);

// Icons: the portable build has no icon art; an icon of the executable's resources is a handle
// that the view may show as it likes.
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);

// Message boxes, handed to the view. 0 when the box cannot be shown.
#define MB_OK 0x00000000L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION 0x00000040L
#define IDABORT 3
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// Common controls: the progress bar and the animation control.
#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_GETPOS (WM_USER + 8)
#define PBM_SETMARQUEE (WM_USER + 10)
#define PBS_SMOOTH 0x01
#define PBS_MARQUEE 0x08
#define ACM_OPENA (WM_USER + 100)
#define ACM_PLAY (WM_USER + 101)
#define ACM_STOP (WM_USER + 102)
#define ACS_CENTER 0x0001
#define ACS_TRANSPARENT 0x0002
#define MAKELONG(a, b)                                              \
    (static_cast<LONG>((static_cast<DWORD>(static_cast<WORD>(a))) | \
                       (static_cast<DWORD>(static_cast<WORD>(b)) << 16)))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xFFFF))

// Property sheets in the wizard style.
typedef UINT (*LPFNPSPCALLBACKA)(HWND, UINT, struct PROPSHEETPAGEA*);
typedef int (*PFNPROPSHEETCALLBACK)(HWND, UINT, LPARAM);

struct PROPSHEETPAGEA {
    DWORD dwSize;
    DWORD dwFlags;
    HINSTANCE hInstance;
    union {
        LPCSTR pszTemplate;
        const DLGTEMPLATE* pResource;
    };
    union {
        HICON hIcon;
        LPCSTR pszIcon;
    };
    LPCSTR pszTitle;
    DLGPROC pfnDlgProc;
    LPARAM lParam;
    LPFNPSPCALLBACKA pfnCallback;
    UINT* pcRefParent;
    LPCSTR pszHeaderTitle;
    LPCSTR pszHeaderSubTitle;
};
typedef PROPSHEETPAGEA* LPPROPSHEETPAGEA;
typedef const PROPSHEETPAGEA* LPCPROPSHEETPAGEA;

struct PROPSHEETHEADERA {
    DWORD dwSize;
    DWORD dwFlags;
    HWND hwndParent;
    HINSTANCE hInstance;
    union {
        HICON hIcon;
        LPCSTR pszIcon;
    };
    LPCSTR pszCaption;
    UINT nPages;
    union {
        UINT nStartPage;
        LPCSTR pStartPage;
    };
    union {
        LPCPROPSHEETPAGEA ppsp;
        HPROPSHEETPAGE* phpage;
    };
    PFNPROPSHEETCALLBACK pfnCallback;
    union {
        HBITMAP hbmWatermark;
        LPCSTR pszbmWatermark;
    };
    void* hplWatermark;
    union {
        HBITMAP hbmHeader;
        LPCSTR pszbmHeader;
    };
};
typedef PROPSHEETHEADERA* LPPROPSHEETHEADERA;

#define PSH_DEFAULT 0x00000000
#define PSH_USEHICON 0x00000002
#define PSH_WIZARD 0x00000020
#define PSH_USECALLBACK 0x00000100
#define PSH_HASHELP 0x00000200
#define PSH_WATERMARK 0x00008000
#define PSH_HEADER 0x00080000
#define PSH_WIZARD97 0x01000000
#define PSP_DEFAULT 0x00000000
#define PSP_DLGINDIRECT 0x00000001
#define PSP_USETITLE 0x00000008
#define PSP_HASHELP 0x00000020
#define PSP_HIDEHEADER 0x00000800
#define PSP_USEHEADERTITLE 0x00001000
#define PSP_USEHEADERSUBTITLE 0x00002000
// Notifications from the sheet to its pages (WM_NOTIFY). A page answers PSN_SETACTIVE with 0 to
// be shown or -1 not to be, PSN_WIZNEXT with 0 to move on or -1 to stay, PSN_WIZFINISH and
// PSN_QUERYCANCEL with 0 to let the sheet close.
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
typedef NMHDR* LPNMHDR;
struct PSHNOTIFY {
    NMHDR hdr;
    LPARAM lParam;
};
#define PSN_FIRST (0U - 200U)
#define PSN_SETACTIVE (PSN_FIRST - 0)
#define PSN_WIZNEXT (PSN_FIRST - 7)
#define PSN_WIZFINISH (PSN_FIRST - 8)
#define PSN_QUERYCANCEL (PSN_FIRST - 9)
#define PSCB_INITIALIZED 1
#define PSCB_PRECREATE 2
#define PSM_SETWIZBUTTONS (WM_USER + 112)
#define PSM_PRESSBUTTON (WM_USER + 113)
#define PSM_SETFINISHTEXTA (WM_USER + 115)
#define PSWIZB_BACK 0x00000001
#define PSWIZB_NEXT 0x00000002
#define PSWIZB_FINISH 0x00000004
#define PSWIZB_DISABLEDFINISH 0x00000008
#define PSBTN_NEXT 1
#define PSBTN_FINISH 2
#define PSBTN_CANCEL 5

// The executable's path; the application is named after it.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

// Threads.
#define THREAD_PRIORITY_NORMAL 0
#define CREATE_SUSPENDED 0x00000004

// COM, as far as the shell taskbar object needs it.
typedef GUID IID;
typedef GUID CLSID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
typedef unsigned long long ULONGLONG;
typedef void* LPUNKNOWN;
#define S_OK (static_cast<HRESULT>(0L))
#define E_NOINTERFACE (static_cast<HRESULT>(0x80004002L))
#define E_POINTER (static_cast<HRESULT>(0x80004003L))
#define REGDB_E_CLASSNOTREG (static_cast<HRESULT>(0x80040154L))
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#define CLSCTX_INPROC_SERVER 0x1
#define STDMETHODCALLTYPE

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};

enum TBPFLAG {
    TBPF_NOPROGRESS = 0x0,
    TBPF_INDETERMINATE = 0x1,
    TBPF_NORMAL = 0x2,
    TBPF_ERROR = 0x4,
    TBPF_PAUSED = 0x8,
};

// The part of ITaskbarList3 that the system uses; the rest of the interface is never called.
struct ITaskbarList3 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetProgressValue(HWND hwnd, ULONGLONG ullCompleted,
                                                       ULONGLONG ullTotal) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProgressState(HWND hwnd, TBPFLAG tbpFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND hwnd, HICON hIcon,
                                                     LPCWSTR pszDescription) = 0;

protected:
    ~ITaskbarList3() = default;
};

extern const CLSID CLSID_TaskbarList;
extern const IID IID_ITaskbarList3;
HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv);
