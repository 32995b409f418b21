// The framework's free services: string loading and message boxes.
#pragma once

#include "platform/win32api.h"

// Loads a string of the program's string table; 0 when there is no such string.
int AfxLoadString(UINT nIDS, LPSTR lpszBuf, UINT nMaxBuf = 256);

// A message box owned by the application's main window, captioned with the application's name.
// Returns the button pressed, or 0 when the box could not be shown.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// The dots per inch `hWnd` is drawn at: the window's own where the system says
// (GetDpiForWindow, Windows 10 1607 and later, looked up rather than linked), else the screen's,
// which a system-aware program is drawn at on every monitor. A null window gets the screen's.
UINT AfxGetWindowDpi(HWND hWnd);
