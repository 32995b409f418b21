// The default handling of a window of the portable model: its class's, since the model's windows
// are never subclassed.
#include "framework/wnd.h"

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}
