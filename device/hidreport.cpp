#include "device/hidreport.h"

BOOL CHidReport::Get(BYTE reportId) {
    m_pBuffer[0] = reportId;
    return HidD_GetFeature(m_hDevice, m_pBuffer, m_dwLength) ? TRUE : FALSE;
}

BOOL CHidReport::Set(BYTE reportId) {
    m_pBuffer[0] = reportId;
    return HidD_SetFeature(m_hDevice, m_pBuffer, m_dwLength) ? TRUE : FALSE;
}
