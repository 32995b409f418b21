#include <cstdlib>
#include <cstring>

#include "platform/portable/unsupported.h"
#include "platform/win32api.h"

namespace {

struct MessageText {
    DWORD id;
    const char* text;
};

// The system's message texts for the codes this program can meet. Each ends in a line break, as the
// Windows texts do, because callers append them to their own text as they are.
constexpr MessageText kMessageTexts[] = {
    {ERROR_SUCCESS, "The operation finished without an error.\r\n"},
    {ERROR_INVALID_FUNCTION, "The function asked for cannot be used here.\r\n"},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file given.\r\n"},
    {ERROR_ACCESS_DENIED, "Access is denied.\r\n"},
    {ERROR_INVALID_HANDLE, "The handle does not refer to an open object.\r\n"},
    {ERROR_NOT_ENOUGH_MEMORY, "There is too little memory left to carry out this command.\r\n"},
    {ERROR_BAD_FORMAT, "The program or data is not in a format that can be used.\r\n"},
    {ERROR_INVALID_DATA, "The data was rejected as not valid.\r\n"},
    {ERROR_OUTOFMEMORY, "The system ran out of memory before this operation could finish.\r\n"},
    {ERROR_BAD_UNIT, "The requested device could not be found.\r\n"},
    {ERROR_GEN_FAILURE, "A device connected to the computer is not working properly.\r\n"},
    {ERROR_NOT_SUPPORTED, "This kind of request is not available.\r\n"},
    {ERROR_INVALID_PARAMETER, "One of the parameters has a wrong value.\r\n"},
    {ERROR_CALL_NOT_IMPLEMENTED, "This function is not available on this system.\r\n"},
    {ERROR_INSUFFICIENT_BUFFER, "The buffer supplied for the result is too small.\r\n"},
    {ERROR_MOD_NOT_FOUND, "No module by that name is loaded.\r\n"},
    {ERROR_PROC_NOT_FOUND, "The module has no procedure by that name.\r\n"},
    {ERROR_BAD_PATHNAME, "The path given cannot be used.\r\n"},
    {ERROR_BUSY, "The resource asked for is busy with other work.\r\n"},
    {WAIT_TIMEOUT, "The wait ended because its time ran out.\r\n"},
    {ERROR_NO_MORE_ITEMS, "There are no further items to return.\r\n"},
    {ERROR_MR_MID_NOT_FOUND, "No text is on record for this message number.\r\n"},
    {ERROR_NOACCESS, "A memory location given for the operation cannot be used.\r\n"},
    {ERROR_IO_DEVICE, "The request failed because of an error on the device's connection.\r\n"},
    {ERROR_SINGLE_INSTANCE_APP, "Only one copy of this program can run at a time.\r\n"},
    {ERROR_DEVICE_NOT_CONNECTED, "The device cannot be reached because it is not attached.\r\n"},
    {ERROR_CANCELLED, "The user stopped the operation before it finished.\r\n"},
    {ERROR_INVALID_WINDOW_HANDLE, "The window handle does not refer to a window.\r\n"},
    {ERROR_TIMEOUT, "The operation gave up after its time limit passed.\r\n"},
    {ERROR_INVALID_USER_BUFFER, "The caller's buffer cannot be used for this operation.\r\n"},
    {ERROR_RESOURCE_DATA_NOT_FOUND, "The program file holds no resources.\r\n"},
    {ERROR_RESOURCE_TYPE_NOT_FOUND, "The program file has no resources of the type asked for.\r\n"},
    {ERROR_RESOURCE_NAME_NOT_FOUND, "The program file has no resource by the name asked for.\r\n"},
    {ERROR_BAD_DRIVER, "The device driver is not one that can be used.\r\n"},
    {static_cast<DWORD>(SCARD_F_COMM_ERROR), "A fault occurred in internal communications.\r\n"},
};

const char* FindMessageText(DWORD id) {
    for (const MessageText& entry : kMessageTexts) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return nullptr;
}

constexpr DWORD kSupportedFlags =
    FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
constexpr DWORD kDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

}  // namespace

DWORD FormatMessageA(DWORD dwFlags, LPCVOID /*lpSource*/, DWORD dwMessageId, DWORD dwLanguageId,
                     LPSTR lpBuffer, DWORD nSize, va_list* /*Arguments*/) {
    // Our texts have no inserts, so with or without IGNORE_INSERTS the result is the same.
    if ((dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || (dwFlags & ~kSupportedFlags) != 0) {
        portable::Unsupported(
            "FormatMessageA with flags other than FROM_SYSTEM, IGNORE_INSERTS "
            "and ALLOCATE_BUFFER");
    }
    if (dwLanguageId != 0 && dwLanguageId != kDefaultLanguage) {
        portable::Unsupported("FormatMessageA in a language other than the default");
    }
    if (lpBuffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
        // A caller that frees the pointer after a failure frees nothing.
        *reinterpret_cast<LPSTR*>(lpBuffer) = nullptr;
    }
    const char* text = FindMessageText(dwMessageId);
    if (text == nullptr) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    const std::size_t length = std::strlen(text);

    if ((dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
        // Here lpBuffer is really where to store the pointer to the allocated text.
        const std::size_t bytes = length + 1 > nSize ? length + 1 : nSize;
        auto* allocated = static_cast<char*>(LocalAlloc(LMEM_FIXED, bytes));
        if (allocated == nullptr) {
            return 0;  // LocalAlloc has set the last error
        }
        std::memcpy(allocated, text, length + 1);
        *reinterpret_cast<LPSTR*>(lpBuffer) = allocated;
        return static_cast<DWORD>(length);
    }

    if (length + 1 > nSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpBuffer, text, length + 1);
    return static_cast<DWORD>(length);
}

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes) {
    if ((uFlags & ~static_cast<UINT>(LPTR)) != 0) {
        portable::Unsupported("LocalAlloc with flags other than LMEM_FIXED and LMEM_ZEROINIT");
    }
    // A zero-byte fixed block is still a valid, distinct allocation on Windows.
    const std::size_t bytes = uBytes == 0 ? 1 : uBytes;
    void* memory = (uFlags & LMEM_ZEROINIT) != 0 ? std::calloc(1, bytes) : std::malloc(bytes);
    if (memory == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return memory;
}

HLOCAL LocalFree(HLOCAL hMem) {
    std::free(hMem);
    return nullptr;
}
