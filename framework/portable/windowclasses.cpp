// The behaviour of each kind of window the model keeps (what DefWindowProcA does for it): the
// sheet and its wizard buttons, the pages, the texts, the animation control and the progress bar.
#include "framework/portable/windowmodel.h"

#include <algorithm>
#include <cstring>

namespace portable {

LRESULT WindowModel::ClassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (window == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_SETTEXT: {
            const std::string text = lParam != 0 ? reinterpret_cast<LPCSTR>(lParam) : "";
            if (text != window->text) {
                window->text = text;
                ReportChange(*window);
            }
            return TRUE;
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(window->text.size());
        case WM_GETTEXT: {
            if (wParam == 0) {
                return 0;
            }
            const std::size_t length = std::min<std::size_t>(window->text.size(), wParam - 1);
            std::memcpy(reinterpret_cast<LPSTR>(lParam), window->text.data(), length);
            reinterpret_cast<LPSTR>(lParam)[length] = '\0';
            return static_cast<LRESULT>(length);
        }
        case WM_SETFONT:
            if (window->font != reinterpret_cast<HFONT>(wParam)) {
                window->font = reinterpret_cast<HFONT>(wParam);
                ReportChange(*window);
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(window->font);
        case WM_QUERYENDSESSION:
            // As on Windows: a window that does not object lets the session end.
            return TRUE;
        default:
            break;
    }
    switch (window->kind) {
        case Window::Kind::Sheet:
            switch (message) {
                case WM_SETICON: {
                    HICON& slot = wParam == ICON_BIG ? window->bigIcon : window->smallIcon;
                    HICON previous = slot;
                    slot = reinterpret_cast<HICON>(lParam);
                    return reinterpret_cast<LRESULT>(previous);
                }
                case WM_INITDIALOG:
                    return TRUE;
                case PSM_SETWIZBUTTONS:
                case PSM_PRESSBUTTON:
                case PSM_SETFINISHTEXTA:
                    return m_behaviour != nullptr
                               ? m_behaviour->SheetMessage(message, wParam, lParam)
                               : 0;
                default:
                    return 0;
            }
        case Window::Kind::ProgressBar:
            switch (message) {
                case PBM_SETPOS: {
                    const int previous = window->position;
                    const int position = std::clamp(static_cast<int>(static_cast<INT_PTR>(wParam)),
                                                    window->rangeMin, window->rangeMax);
                    if (position != previous) {
                        window->position = position;
                        ReportChange(*window);
                    }
                    return previous;
                }
                case PBM_GETPOS:
                    return window->position;
                case PBM_SETRANGE: {
                    const LRESULT previous = MAKELONG(window->rangeMin, window->rangeMax);
                    window->rangeMin = LOWORD(lParam);
                    window->rangeMax = HIWORD(lParam);
                    return previous;
                }
                case PBM_SETMARQUEE:
                    if (window->marqueeRunning != (wParam != 0)) {
                        window->marqueeRunning = wParam != 0;
                        ReportChange(*window);
                    }
                    return TRUE;
                default:
                    return 0;
            }
        case Window::Kind::Animation:
            switch (message) {
                case ACM_OPENA:
                    if (lParam == 0) {
                        const bool changed = window->clipOpen || window->playing;
                        window->clipOpen = window->playing = false;
                        if (changed) {
                            ReportChange(*window);
                        }
                        return TRUE;
                    }
                    // A terminal cannot show a video: any clip of the executable's resources
                    // opens, and plays as the view's own busy sign.
                    if (!IS_INTRESOURCE(reinterpret_cast<LPCSTR>(lParam))) {
                        return FALSE;
                    }
                    window->clipOpen = true;
                    window->playing = false;
                    ReportChange(*window);
                    return TRUE;
                case ACM_PLAY:
                    if (!window->clipOpen) {
                        return FALSE;
                    }
                    if (!window->playing) {
                        window->playing = true;
                        ReportChange(*window);
                    }
                    return TRUE;
                case ACM_STOP:
                    if (window->playing) {
                        window->playing = false;
                        ReportChange(*window);
                    }
                    return TRUE;
                default:
                    return 0;
            }
        default:
            return 0;
    }
}

}  // namespace portable
