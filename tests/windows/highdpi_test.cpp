// setup.exe on a screen of 96, 144 or 192 dots per inch: scripts/wine-run starts this test and the
// program it runs with the DPI named by VANTOR_WINE_DPI. One run walks the pages a person sees
// without a mixer (welcome, the update's box, finish) and checks each as it stands: every text fits
// its control, every control lies within its page and every page within the sheet, and the
// watermark is the one drawn for the DPI. Each page is pictured as
// `<page>-<dpi>.bmp`.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/frameworkids.h"
#include "resources/resource.h"
#include "tests/windows/runningprogram.h"
#include "tests/windows/screenshot.h"
#include "tests/windows/setupprogram.h"

namespace {

constexpr DWORD kWindowTimeout = 30000;
constexpr DWORD kExitTimeout = 60000;
const std::string kMessageBoxCaption = "setup";

// The watermark the program carries for each DPI.
WORD WatermarkFor(int dpi) {
    return dpi == 192 ? IDB_WATERMARK_200 : dpi == 144 ? IDB_WATERMARK_150 : IDB_WATERMARK;
}

// Pixels as 0xRRGGBB, row by row from the top.
using Pixels = std::vector<DWORD>;

// `width` x `height` pixels from the top left corner of what `draw` puts into a fresh bitmap.
template <typename Draw>
Pixels Capture(LONG width, LONG height, Draw draw) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, target);
    draw(dc);
    GdiFlush();
    Pixels pixels(static_cast<const DWORD*>(bits),
                  static_cast<const DWORD*>(bits) + static_cast<std::size_t>(width) * height);
    for (DWORD& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(target);
    return pixels;
}

// A font as the program makes it: `points` high at this screen's DPI, which is the program's.
class Font {
public:
    Font(const char* face, int points, int weight, int dpi) {
        LOGFONTA font{};
        font.lfHeight = -MulDiv(points, dpi, 72);
        font.lfWeight = weight;
        font.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(font.lfFaceName, face, sizeof font.lfFaceName);
        m_font = CreateFontIndirectA(&font);
    }
    ~Font() { DeleteObject(m_font); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    HFONT Handle() const { return m_font; }

private:
    HFONT m_font;
};

// What a control's text needs at most: its width and height when broken into lines as a static
// control breaks it, or on one line.
SIZE TextNeeds(HFONT font, const std::string& text, LONG width, bool wrapped) {
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE needs{};
    if (wrapped) {
        RECT rect{0, 0, width, 0};
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        needs = SIZE{rect.right, rect.bottom};
    } else {
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &needs);
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return needs;
}

// Has the sheet, its page and its controls painted afresh before it returns: the system sends the
// program the paint messages and waits for them to be handled.
void PaintNow(HWND sheet) {
    RedrawWindow(sheet, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

std::string Describe(HWND control) {
    return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + WindowText(control) + "\"";
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

RECT ClientOnScreen(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A control whose text does not fit, or that leaves the window it belongs to, as a line each.
void CheckControl(HWND control, const RECT& within, HFONT font, bool wrapped,
                  std::vector<std::string>& faults) {
    RECT rect{};
    GetWindowRect(control, &rect);
    if (!Inside(rect, within)) {
        faults.push_back(Describe(control) + " leaves its window");
    }
    std::string text = WindowText(control);
    if (text.empty()) {
        return;
    }
    if (!wrapped) {
        text.erase(std::remove(text.begin(), text.end(), '&'), text.end());  // access-key marks
    }
    RECT client{};
    GetClientRect(control, &client);
    const SIZE needs = TextNeeds(font, text, client.right, wrapped);
    if (needs.cx > client.right || needs.cy > client.bottom) {
        faults.push_back(Describe(control) + " needs " + std::to_string(needs.cx) + " x " +
                         std::to_string(needs.cy) + " pixels, has " + std::to_string(client.right) +
                         " x " + std::to_string(client.bottom));
    }
}

class SetupExeAtDpi : public testing::Test {
protected:
    void SetUp() override {
        const char* dpi = std::getenv("VANTOR_WINE_DPI");
        m_dpi = dpi != nullptr ? std::atoi(dpi) : 0;
        ASSERT_TRUE(m_dpi == 96 || m_dpi == 144 || m_dpi == 192)
            << "run by scripts/wine-run with VANTOR_WINE_DPI 96, 144 or 192";
        // The setting reached this process as it reached the program: both started with it.
        HDC screen = GetDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), m_dpi);
        ReleaseDC(nullptr, screen);
    }

    // The page's texts in the page's fonts (the titles in the program's own), its controls within
    // it, the page within the sheet, and the sheet's buttons in the sheet's font within it.
    std::vector<std::string> LayoutFaults(HWND sheet, HWND page) const {
        const Font pageFont("MS Sans Serif", 8, FW_NORMAL, m_dpi);
        const Font titleFont("Verdana Bold", 12, FW_BOLD, m_dpi);
        const Font sheetFont("MS Shell Dlg", 8, FW_NORMAL, m_dpi);
        std::vector<std::string> faults;
        const RECT sheetClient = ClientOnScreen(sheet);
        RECT pageRect{};
        GetWindowRect(page, &pageRect);
        if (!Inside(pageRect, sheetClient)) {
            faults.push_back("the page leaves the sheet");
        }
        for (HWND child = GetWindow(page, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) {
                continue;
            }
            const int id = GetDlgCtrlID(child);
            const bool title = id == IDC_WELCOME_TITLE || id == IDC_FINISH_TITLE;
            CheckControl(child, pageRect, (title ? titleFont : pageFont).Handle(), true, faults);
        }
        for (int id : {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, IDCANCEL}) {
            const HWND button = GetDlgItem(sheet, id);
            if (button != nullptr && IsWindowVisible(button)) {
                CheckControl(button, sheetClient, sheetFont.Handle(), false, faults);
            }
        }
        return faults;
    }

    // Pictures the windows as `<page>-<dpi>` and checks that the picture holds them whole: the
    // first stands in the screen's top left corner, so the margin shows only right of and below
    // them all.
    void Picture(std::initializer_list<HWND> windows, const std::string& page) const {
        const std::string name = page + "-" + std::to_string(m_dpi);
        ASSERT_TRUE(SaveScreenshot(windows, name));
        const char* folder = std::getenv("VANTOR_SCREENSHOT_DIR");
        if (folder == nullptr || *folder == '\0') {
            return;
        }
        RECT rect{};
        GetWindowRect(*windows.begin(), &rect);
        ASSERT_EQ(rect.left, 0);
        ASSERT_EQ(rect.top, 0);
        for (HWND window : windows) {
            RECT other{};
            GetWindowRect(window, &other);
            rect.right = std::max(rect.right, other.right);
            rect.bottom = std::max(rect.bottom, other.bottom);
        }
        FILE* file = std::fopen((std::string(folder) + "/" + name + ".bmp").c_str(), "rb");
        ASSERT_NE(file, nullptr);
        unsigned char header[26] = {};
        const std::size_t read = std::fread(header, 1, sizeof header, file);
        std::fclose(file);
        ASSERT_EQ(read, sizeof header);
        const auto at = [&header](int offset) {
            return static_cast<LONG>(header[offset] | header[offset + 1] << 8 |
                                     header[offset + 2] << 16 | header[offset + 3] << 24);
        };
        EXPECT_EQ(at(18), rect.right + kScreenshotMargin) << name << ": width";
        EXPECT_EQ(at(22), rect.bottom + kScreenshotMargin) << name << ": height";
    }

    // The sheet shows the watermark drawn for this DPI. Wine's sheet cuts every watermark to its
    // first 164 columns (Windows' fits it to the page), so those are compared, pixel for pixel.
    void ExpectWatermarkOfThisDpi(HWND sheet) const {
        const HMODULE program =
            LoadLibraryExA(SetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(program, nullptr);
        const auto watermark = static_cast<HBITMAP>(
            LoadImageA(program, MAKEINTRESOURCEA(WatermarkFor(m_dpi)), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(watermark, nullptr);
        constexpr LONG kWidth = 164;
        constexpr LONG kHeight = 200;  // above the page's line at every DPI
        const Pixels carried = Capture(kWidth, kHeight, [watermark](HDC dc) {
            HDC source = CreateCompatibleDC(nullptr);
            const HGDIOBJ previous = SelectObject(source, watermark);
            BitBlt(dc, 0, 0, kWidth, kHeight, source, 0, 0, SRCCOPY);
            SelectObject(source, previous);
            DeleteDC(source);
        });
        DeleteObject(watermark);
        FreeLibrary(program);
        const RECT client = ClientOnScreen(sheet);
        const Pixels shown = Capture(kWidth, kHeight, [&client](HDC dc) {
            HDC screen = GetDC(nullptr);
            BitBlt(dc, 0, 0, kWidth, kHeight, screen, client.left, client.top, SRCCOPY);
            ReleaseDC(nullptr, screen);
        });
        std::size_t differing = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            differing += shown[i] != carried[i] ? 1 : 0;
        }
        EXPECT_EQ(differing, 0u) << "of " << shown.size() << " pixels";
    }

    int m_dpi = 0;
};

TEST_F(SetupExeAtDpi, EveryPageFitsItsTextsAndStaysWithinTheSheet) {
    RunningProgram program(SetupPath(), "");
    ASSERT_TRUE(program.Started());
    const HWND sheet = program.WaitForDialog(ProgramString(IDS_CAPTION), kWindowTimeout);
    ASSERT_NE(sheet, nullptr);

    const HWND welcome = WaitForActivePageWith(sheet, IDC_WELCOME_TITLE, kWindowTimeout);
    ASSERT_NE(welcome, nullptr);
    PaintNow(sheet);
    EXPECT_EQ(LayoutFaults(sheet, welcome), std::vector<std::string>{});
    ExpectWatermarkOfThisDpi(sheet);
    Picture({sheet}, "welcome");

    ASSERT_TRUE(ClickButton(sheet, ID_WIZNEXT));
    const HWND box = program.WaitForDialog(kMessageBoxCaption, kWindowTimeout);
    ASSERT_NE(box, nullptr);
    const HWND update = ActivePageWith(sheet, IDC_PROGRESS);
    ASSERT_NE(update, nullptr);
    PaintNow(sheet);
    EXPECT_EQ(LayoutFaults(sheet, update), std::vector<std::string>{});
    Picture({sheet, box}, "update");
    ASSERT_TRUE(ClickButton(box, IDOK));

    const HWND finish = WaitForActivePageWith(sheet, IDC_FINISH_TITLE, kWindowTimeout);
    ASSERT_NE(finish, nullptr);
    PaintNow(sheet);
    EXPECT_EQ(LayoutFaults(sheet, finish), std::vector<std::string>{});
    ExpectWatermarkOfThisDpi(sheet);
    Picture({sheet}, "finish");

    ASSERT_TRUE(ClickButton(sheet, ID_WIZFINISH));
    EXPECT_EQ(program.WaitForExit(kExitTimeout), ERROR_BAD_UNIT);
}

}  // namespace
