// Pictures of the wizard as it stands on the screen, for the documentation: a 24-bit BMP of the
// screen area that holds the given windows, written to the folder named by VANTOR_SCREENSHOT_DIR.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/win32api.h"

// Room around the windows, so that their frames and shadows show whole; cut where the screen ends.
constexpr long kScreenshotMargin = 8;

// Writes `<folder>/<name>.bmp`. Without a folder nothing is taken and the result is true; false
// when the picture could not be taken or written, or when a window is not wholly on the screen: a
// picture of it would lose what lies beyond the screen's edge.
bool SaveScreenshot(std::initializer_list<HWND> windows, const std::string& name);
