// Device setup, configuration manager, HID and device-file services for builds without Windows.
// Structures have the layout of 64-bit Windows; every call is served by the current DeviceBackend
// (devicebackend.h) with the results and last errors that the Win32 documentation gives.
#pragma once

#include "platform/portable/win32types.h"

typedef unsigned char BOOLEAN;
typedef unsigned short USHORT;
typedef USHORT USAGE;
typedef LONG NTSTATUS;
typedef DWORD DEVINST;
typedef DEVINST* PDEVINST;
typedef DWORD CONFIGRET;
// UTF-16, as on Windows, so that string buffers keep their Windows sizes in bytes.
typedef char16_t WCHAR;
typedef WCHAR* PWSTR;
typedef const WCHAR* LPCWSTR;
typedef ULONG* PULONG;

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID* LPGUID;
typedef const GUID* LPCGUID;
bool operator==(const GUID& a, const GUID& b);

// File access for device paths ("\\?\..."): the only files a build without Windows opens this way.
#define GENERIC_READ 0x80000000UL
#define GENERIC_WRITE 0x40000000UL
#define FILE_SHARE_READ 0x00000001UL
#define FILE_SHARE_WRITE 0x00000002UL
#define OPEN_EXISTING 3UL
#define FILE_FLAG_OVERLAPPED 0x40000000UL
struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL CancelIo(HANDLE hFile);
BOOL CloseHandle(HANDLE hObject);

// A mutex of the global namespace ("Global\\NAME"), not owned at creation, for telling whether
// another process of the machine holds the name: then the handle refers to that mutex and the last
// error is ERROR_ALREADY_EXISTS. See platform/portable/globalmutexes.h for what the machine is.
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);

// Device information sets of present device interfaces.
typedef void* HDEVINFO;
#define DIGCF_PRESENT 0x00000002UL
#define DIGCF_DEVICEINTERFACE 0x00000010UL

struct SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
};
typedef SP_DEVINFO_DATA* PSP_DEVINFO_DATA;

struct SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize;
    GUID InterfaceClassGuid;
    DWORD Flags;
    ULONG_PTR Reserved;
};
typedef SP_DEVICE_INTERFACE_DATA* PSP_DEVICE_INTERFACE_DATA;

struct SP_DEVICE_INTERFACE_DETAIL_DATA_A {
    DWORD cbSize;
    CHAR DevicePath[1];
};
typedef SP_DEVICE_INTERFACE_DETAIL_DATA_A* PSP_DEVICE_INTERFACE_DETAIL_DATA_A;

struct SP_DEVICE_INTERFACE_DETAIL_DATA_W {
    DWORD cbSize;
    WCHAR DevicePath[1];
};
typedef SP_DEVICE_INTERFACE_DETAIL_DATA_W* PSP_DEVICE_INTERFACE_DETAIL_DATA_W;

// Supported: DIGCF_PRESENT | DIGCF_DEVICEINTERFACE with an interface class, no enumerator.
HDEVINFO SetupDiGetClassDevsA(const GUID* ClassGuid, LPCSTR Enumerator, HWND hwndParent,
                              DWORD Flags);
BOOL SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                 const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                 PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData);
BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO DeviceInfoSet,
                                      PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_A DeviceInterfaceDetailData,
                                      DWORD DeviceInterfaceDetailDataSize, LPDWORD RequiredSize,
                                      PSP_DEVINFO_DATA DeviceInfoData);
BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO DeviceInfoSet,
                                      PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_W DeviceInterfaceDetailData,
                                      DWORD DeviceInterfaceDetailDataSize, LPDWORD RequiredSize,
                                      PSP_DEVINFO_DATA DeviceInfoData);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet);

// Configuration manager.
#define CR_SUCCESS 0x00000000UL
#define CR_OUT_OF_MEMORY 0x00000002UL
#define CR_INVALID_POINTER 0x00000003UL
#define CR_INVALID_FLAG 0x00000004UL
#define CR_INVALID_DEVNODE 0x00000005UL
#define CR_NO_SUCH_DEVNODE 0x0000000DUL
CONFIGRET CM_Get_Parent(PDEVINST pdnDevInst, DEVINST dnDevInst, ULONG ulFlags);
// Not declared by the SDK for callers: the system looks it up in setupapi.dll with GetProcAddress.
DWORD CMP_WaitNoPendingInstallEvents(DWORD dwTimeout);

// HID class services.
struct HIDD_ATTRIBUTES {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
};
typedef HIDD_ATTRIBUTES* PHIDD_ATTRIBUTES;

struct HIDP_CAPS {
    USAGE Usage;
    USAGE UsagePage;
    USHORT InputReportByteLength;
    USHORT OutputReportByteLength;
    USHORT FeatureReportByteLength;
    USHORT Reserved[17];
    USHORT NumberLinkCollectionNodes;
    USHORT NumberInputButtonCaps;
    USHORT NumberInputValueCaps;
    USHORT NumberInputDataIndices;
    USHORT NumberOutputButtonCaps;
    USHORT NumberOutputValueCaps;
    USHORT NumberOutputDataIndices;
    USHORT NumberFeatureButtonCaps;
    USHORT NumberFeatureValueCaps;
    USHORT NumberFeatureDataIndices;
};
typedef HIDP_CAPS* PHIDP_CAPS;

struct HIDP_PREPARSED_DATA;
typedef HIDP_PREPARSED_DATA* PHIDP_PREPARSED_DATA;

#define HIDP_STATUS_SUCCESS (static_cast<NTSTATUS>(0x00110000L))
#define HIDP_STATUS_INVALID_PREPARSED_DATA (static_cast<NTSTATUS>(0xC0110001L))

void HidD_GetHidGuid(LPGUID HidGuid);
BOOLEAN HidD_GetAttributes(HANDLE HidDeviceObject, PHIDD_ATTRIBUTES Attributes);
BOOLEAN HidD_GetManufacturerString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength);
BOOLEAN HidD_GetProductString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength);
BOOLEAN HidD_GetSerialNumberString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength);
BOOLEAN HidD_GetPreparsedData(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData);
BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA PreparsedData);
NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA PreparsedData, PHIDP_CAPS Capabilities);
// The buffer must be exactly FeatureReportByteLength bytes long, the report id in byte 0.
BOOLEAN HidD_GetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength);
BOOLEAN HidD_SetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength);

// Run-time lookup; "setupapi.dll" is the only module besides the executable.
typedef INT_PTR (*FARPROC)();
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
