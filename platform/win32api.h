// The one include through which the system reaches Win32 names.
//
// On Windows these are the SDK's own declarations. Elsewhere they are declarations of the subset
// the system uses, implemented in platform/portable/ with the results and last errors that the
// Win32 documentation gives.
#pragma once

#ifdef _WIN32
// The program defines the multimedia functions it uses itself, over the system's winmm.dll
// (platform/win32/winmm.cpp): declared without dllimport, calls reach those definitions.
#define _WINMM_
// winsock2.h comes first: windows.h would otherwise pull in the old winsock.h.
#include <winsock2.h>

#include <windows.h>

#include <cfgmgr32.h>
#include <commctrl.h>
#include <mmsystem.h>
// The wave drivers' device-interface queries.
#include <mmddk.h>
#include <prsht.h>
#include <setupapi.h>
#include <shobjidl.h>
// The HID headers declare C functions without saying so to a C++ compiler.
extern "C" {
#include <hidsdi.h>
}
#else
#include "platform/portable/win32devices.h"
#include "platform/portable/win32kernel.h"
#include "platform/portable/win32mm.h"
#include "platform/portable/win32resources.h"
#include "platform/portable/win32types.h"
#include "platform/portable/win32ui.h"
#endif
