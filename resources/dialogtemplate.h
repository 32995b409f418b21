// The wizard's dialog templates as data, for the portable framework, which has no resource
// compiler's dialog resources to read. Made from dialogs.inc, as the Windows resources are.
#pragma once

#include <span>

struct DialogControl {
    enum class Kind { Text, Animation, ProgressBar };
    Kind kind;
    int id;  // IDC_STATIC (-1) for texts that the program never addresses
    int x, y, width, height;
    const char* text;  // empty for the animation and the progress bar
};

struct DialogTemplate {
    int id;
    int width, height;
    std::span<const DialogControl> controls;
};

// The template with resource id `id`, or null when there is none.
const DialogTemplate* FindDialogTemplate(int id);
