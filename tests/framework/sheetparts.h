// Parts of the sheets that the view tests show.
#pragma once

#include <string>
#include <utility>

#include "framework/portable/view.h"

inline portable::ControlView Text(int id, std::string text, bool bold = false) {
    portable::ControlView c;
    c.id = id;
    c.text = std::move(text);
    c.bold = bold;
    return c;
}
