#include "device/kesthid.h"

#include <cstring>

#include "device/findhiddevice.h"
#include "diagnostics/logrecords.h"
#include "diagnostics/runlog.h"

namespace {

// The device's own string as it gave it, in UTF-8.
template <std::size_t N>
std::string Utf8(const WCHAR (&text)[N]) {
    std::string utf8;
    for (std::size_t i = 0; i < N && text[i] != 0; ++i) {
        const unsigned c = text[i];
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | c >> 6);
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | c >> 12);
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

}  // namespace

CKestHid::CKestHid(WORD vendorId, WORD productId, int ordinal)
    : m_DevInst(0), m_hDevice(INVALID_HANDLE_VALUE), m_pPreparsedData(nullptr) {
    std::memset(&m_Attributes, 0, sizeof m_Attributes);
    std::memset(&m_Caps, 0, sizeof m_Caps);
    std::memset(m_szManufacturer, 0, sizeof m_szManufacturer);
    std::memset(m_szProduct, 0, sizeof m_szProduct);
    std::memset(m_szSerialNumber, 0, sizeof m_szSerialNumber);

    char path[MAX_DEVICE_PATH];
    if (!FindHidDevice(vendorId, productId, ordinal, path, MAX_DEVICE_PATH, &m_DevInst)) {
        throw 0;
    }
    // Synchronous I/O: every transfer completes before its call returns.
    if (!Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, 0)) {
        throw 0;
    }
}

CKestHid::~CKestHid() {
    if (m_pPreparsedData != nullptr) {
        HidD_FreePreparsedData(m_pPreparsedData);
    }
    if (m_hDevice != INVALID_HANDLE_VALUE) {
        CancelIo(m_hDevice);
        CloseHandle(m_hDevice);
    }
}

bool CKestHid::Open(const char* path, DWORD desiredAccess, DWORD shareMode,
                    DWORD flagsAndAttributes) {
    if (path == nullptr) {
        SetLastError(ERROR_BAD_PATHNAME);
        return false;
    }
    m_hDevice = CreateFileA(path, desiredAccess, shareMode, nullptr, OPEN_EXISTING,
                            flagsAndAttributes, nullptr);
    if (m_hDevice == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Each description is worth having but none is needed to talk to the device: a query that
    // fails leaves its field zero.
    HidD_GetManufacturerString(m_hDevice, m_szManufacturer, sizeof m_szManufacturer);
    HidD_GetProductString(m_hDevice, m_szProduct, sizeof m_szProduct);
    HidD_GetSerialNumberString(m_hDevice, m_szSerialNumber, sizeof m_szSerialNumber);
    HidD_GetAttributes(m_hDevice, &m_Attributes);
    if (!HidD_GetPreparsedData(m_hDevice, &m_pPreparsedData)) {
        m_pPreparsedData = nullptr;
    }
    // Without preparsed data the capabilities stay zero, and every feature transfer is refused.
    if (m_pPreparsedData != nullptr) {
        HidP_GetCaps(m_pPreparsedData, &m_Caps);
    }
    if (runlog::IsOn()) {
        runlog::Write(
            runlog::FormatFound({m_Attributes.VendorID, m_Attributes.ProductID,
                                 m_Attributes.VersionNumber, Utf8(m_szSerialNumber), path}));
    }
    return true;
}
