#include "platform/portable/devicehandles.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/portable/globalmutexes.h"
#include "platform/portable/unsupported.h"

namespace {

struct HandleTable {
    std::mutex mutex;
    std::map<HANDLE, portable::OpenDevice> open;
    // Handle values count up in steps of 4 as kernel handles do; never reused, so a stale handle
    // cannot reach a device opened later.
    ULONG_PTR next = 0x100;
};

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

bool IsDevicePath(LPCSTR path) {
    return std::strncmp(path, "\\\\?\\", 4) == 0 || std::strncmp(path, "\\\\.\\", 4) == 0;
}

}  // namespace

namespace portable {

bool FindOpenDevice(HANDLE handle, OpenDevice* device) {
    HandleTable& table = Handles();
    std::lock_guard lock(table.mutex);
    const auto found = table.open.find(handle);
    if (found == table.open.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    *device = found->second;
    return true;
}

}  // namespace portable

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
    if (lpFileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (!IsDevicePath(lpFileName) || dwCreationDisposition != OPEN_EXISTING ||
        lpSecurityAttributes != nullptr || hTemplateFile != nullptr ||
        (dwFlagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0) {
        portable::Unsupported("CreateFileA other than a synchronous open of a device path");
    }
    portable::DeviceBackend* backend = portable::CurrentDeviceBackend();
    std::shared_ptr<portable::HidChannel> channel;
    const DWORD error = backend == nullptr
                            ? static_cast<DWORD>(ERROR_FILE_NOT_FOUND)
                            : backend->OpenHid(lpFileName, dwDesiredAccess, dwShareMode, &channel);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    portable::OpenDevice device;
    portable::HidDescription description;
    if (channel->Describe(&description) == ERROR_SUCCESS) {
        device.featureReportByteLength = description.caps.featureReportByteLength;
    }
    device.channel = std::move(channel);
    HandleTable& table = Handles();
    std::lock_guard lock(table.mutex);
    HANDLE handle = reinterpret_cast<HANDLE>(table.next);
    table.next += 4;
    table.open.emplace(handle, std::move(device));
    return handle;
}

BOOL CancelIo(HANDLE hFile) {
    // All device I/O here is synchronous, so nothing is ever pending; the handle must still be
    // open.
    portable::OpenDevice device;
    return portable::FindOpenDevice(hFile, &device) ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE hObject) {
    if (portable::CloseGlobalMutexHandle(hObject)) {
        return TRUE;
    }
    HandleTable& table = Handles();
    std::lock_guard lock(table.mutex);
    if (table.open.erase(hObject) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
