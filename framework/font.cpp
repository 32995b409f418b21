#include "framework/font.h"

CFont::~CFont() {
    DeleteObject();
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) {
    DeleteObject();
    m_hObject = ::CreateFontIndirectA(lpLogFont);
    return m_hObject != nullptr;
}

BOOL CFont::DeleteObject() {
    if (m_hObject == nullptr) {
        return FALSE;
    }
    const BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
}
