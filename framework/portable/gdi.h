// What the window model needs to know of the portable GDI objects.
#pragma once

#include "platform/win32api.h"

namespace portable {

// Whether the font is one of ours and drawn bold.
bool IsBoldFont(HFONT font);

}  // namespace portable
