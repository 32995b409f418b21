// Fonts, the screen's device context and metrics, icons and painting for the portable windows,
// which a view draws in its own way: fonts matter only as bold or not, and nothing is ever painted.
#include "framework/portable/gdi.h"

#include <cstring>
#include <map>
#include <mutex>

#include "framework/portable/view.h"
#include "platform/portable/unsupported.h"

namespace {

struct FontTable {
    std::mutex mutex;
    std::map<HFONT, LOGFONTA> fonts;
    ULONG_PTR next = 0x20000;
};

FontTable& Fonts() {
    static FontTable table;
    return table;
}

// The screen's one device context; a handle only needs to be non-null and unlike others.
char g_screen;

HDC ScreenDC() {
    return reinterpret_cast<HDC>(&g_screen);
}

// What Windows reports as the message font at 96 pixels per inch.
LOGFONTA MessageFont() {
    LOGFONTA font{};
    font.lfHeight = -12;
    font.lfWeight = FW_NORMAL;
    std::strcpy(font.lfFaceName, "Segoe UI");
    return font;
}

}  // namespace

namespace portable {

bool IsBoldFont(HFONT font) {
    FontTable& table = Fonts();
    std::lock_guard lock(table.mutex);
    const auto found = table.fonts.find(font);
    return found != table.fonts.end() && found->second.lfWeight >= FW_BOLD;
}

}  // namespace portable

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
    if (lplf == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    FontTable& table = Fonts();
    std::lock_guard lock(table.mutex);
    HFONT font = reinterpret_cast<HFONT>(table.next);
    table.next += 4;
    table.fonts.emplace(font, *lplf);
    return font;
}

BOOL DeleteObject(HGDIOBJ ho) {
    FontTable& table = Fonts();
    std::lock_guard lock(table.mutex);
    return table.fonts.erase(static_cast<HFONT>(ho)) != 0 ? TRUE : FALSE;
}

int GetObjectA(HANDLE h, int c, LPVOID pv) {
    FontTable& table = Fonts();
    std::lock_guard lock(table.mutex);
    const auto found = table.fonts.find(static_cast<HFONT>(h));
    if (found == table.fonts.end()) {
        return 0;
    }
    if (pv == nullptr) {
        return sizeof(LOGFONTA);
    }
    const int size =
        c < static_cast<int>(sizeof(LOGFONTA)) ? c : static_cast<int>(sizeof(LOGFONTA));
    std::memcpy(pv, &found->second, static_cast<std::size_t>(size));
    return size;
}

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT /*fWinIni*/) {
    if (uiAction != SPI_GETNONCLIENTMETRICS) {
        portable::Unsupported("SystemParametersInfoA other than SPI_GETNONCLIENTMETRICS");
    }
    auto* metrics = static_cast<NONCLIENTMETRICSA*>(pvParam);
    if (metrics == nullptr || metrics->cbSize != sizeof(NONCLIENTMETRICSA) ||
        (uiParam != 0 && uiParam != sizeof(NONCLIENTMETRICSA))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const LOGFONTA font = MessageFont();
    metrics->iBorderWidth = 1;
    metrics->iScrollWidth = metrics->iScrollHeight = 17;
    metrics->iCaptionWidth = metrics->iCaptionHeight = 22;
    metrics->lfCaptionFont = metrics->lfSmCaptionFont = metrics->lfMenuFont = font;
    metrics->lfStatusFont = metrics->lfMessageFont = font;
    metrics->iSmCaptionWidth = metrics->iSmCaptionHeight = 22;
    metrics->iMenuWidth = metrics->iMenuHeight = 19;
    metrics->iPaddedBorderWidth = 4;
    return TRUE;
}

HDC GetDC(HWND /*hWnd*/) {
    return ScreenDC();
}

int ReleaseDC(HWND /*hWnd*/, HDC hDC) {
    return hDC == ScreenDC() ? 1 : 0;
}

int GetDeviceCaps(HDC hdc, int index) {
    if (hdc != ScreenDC() || (index != LOGPIXELSX && index != LOGPIXELSY)) {
        portable::Unsupported("GetDeviceCaps other than the screen's pixels per inch");
    }
    const portable::View* view = portable::CurrentView();
    return view != nullptr ? view->PixelsPerInch() : 96;
}

int GetSystemMetrics(int nIndex) {
    if (nIndex == SM_CXICON || nIndex == SM_CYICON) {
        return 32;
    }
    portable::Unsupported("GetSystemMetrics other than the icon size");
}

HICON LoadIconA(HINSTANCE /*hInstance*/, LPCSTR lpIconName) {
    if (!IS_INTRESOURCE(lpIconName)) {
        portable::Unsupported("LoadIconA by name");
    }
    // No pixels: an icon is a handle the view may show as it likes.
    return reinterpret_cast<HICON>(0x30000 + reinterpret_cast<ULONG_PTR>(lpIconName));
}

HDC BeginPaint(HWND /*hWnd*/, LPPAINTSTRUCT lpPaint) {
    std::memset(lpPaint, 0, sizeof *lpPaint);
    lpPaint->hdc = ScreenDC();
    return lpPaint->hdc;
}

BOOL EndPaint(HWND /*hWnd*/, const PAINTSTRUCT* /*lpPaint*/) {
    return TRUE;
}

BOOL DrawIcon(HDC hDC, int /*X*/, int /*Y*/, HICON hIcon) {
    return hDC != nullptr && hIcon != nullptr ? TRUE : FALSE;
}
