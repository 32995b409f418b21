// A GDI font owned by its object: deleted with it.
#pragma once

#include "platform/win32api.h"

class CFont {
public:
    CFont() = default;
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    BOOL DeleteObject();
    HFONT GetSafeHandle() const { return m_hObject; }
    operator HFONT() const { return m_hObject; }

    HFONT m_hObject = nullptr;
};
