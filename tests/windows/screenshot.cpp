#include "tests/windows/screenshot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void PutLittleEndian(std::vector<unsigned char>& out, unsigned long value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

bool WriteBitmapFile(const std::string& path, LONG width, LONG height,
                     const std::vector<unsigned char>& rows) {
    std::vector<unsigned char> file;
    const unsigned long headers = 14 + 40;
    PutLittleEndian(file, 0x4D42, 2);  // "BM"
    PutLittleEndian(file, headers + rows.size(), 4);
    PutLittleEndian(file, 0, 4);
    PutLittleEndian(file, headers, 4);
    PutLittleEndian(file, 40, 4);
    PutLittleEndian(file, static_cast<unsigned long>(width), 4);
    PutLittleEndian(file, static_cast<unsigned long>(height), 4);
    PutLittleEndian(file, 1, 2);
    PutLittleEndian(file, 24, 2);
    PutLittleEndian(file, BI_RGB, 4);
    PutLittleEndian(file, rows.size(), 4);
    PutLittleEndian(file, 0, 16);  // resolution and palette: none
    file.insert(file.end(), rows.begin(), rows.end());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

bool SaveScreenshot(std::initializer_list<HWND> windows, const std::string& name) {
    const char* folder = std::getenv("VANTOR_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == '\0') {
        return true;
    }
    const LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT area{};
    bool first = true;
    for (HWND window : windows) {
        RECT rect;
        if (window == nullptr || !GetWindowRect(window, &rect)) {
            return false;
        }
        if (rect.left < 0 || rect.top < 0 || rect.right > screenWidth ||
            rect.bottom > screenHeight) {
            std::fprintf(stderr,
                         "screenshot %s: a window (%ld, %ld, %ld, %ld) leaves the screen "
                         "(%ld x %ld)\n",
                         name.c_str(), rect.left, rect.top, rect.right, rect.bottom, screenWidth,
                         screenHeight);
            return false;
        }
        area = first ? rect
                     : RECT{std::min(area.left, rect.left), std::min(area.top, rect.top),
                            std::max(area.right, rect.right), std::max(area.bottom, rect.bottom)};
        first = false;
    }
    area.left = std::max(area.left - kScreenshotMargin, 0L);
    area.top = std::max(area.top - kScreenshotMargin, 0L);
    area.right = std::min(area.right + kScreenshotMargin, screenWidth);
    area.bottom = std::min(area.bottom + kScreenshotMargin, screenHeight);
    const LONG width = area.right - area.left;
    const LONG height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return false;
    }

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied =
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
    SelectObject(memory, previous);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as the file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<unsigned char> rows(stride * static_cast<std::size_t>(height));
    const bool read = copied && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), rows.data(),
                                          &info, DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return read && WriteBitmapFile(std::string(folder) + "/" + name + ".bmp", width, height, rows);
}
