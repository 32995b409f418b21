// Resource access over the resources embedded in the executable (see moduleresources.h).
#pragma once

#include "platform/portable/win32types.h"

// Null names the executable itself; "setupapi.dll" is the device-setup module, whose imports the
// executable uses; any other name is not loaded and fails.
HMODULE GetModuleHandleA(LPCSTR lpModuleName);

HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);

// Reads the string table (RT_STRING blocks of 16 counted UTF-16 strings) and converts to ANSI.
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
