// The wizard's dialog templates as data, for the portable framework, which has no resource
// compiler's dialog resources to read. Made from dialogs.inc, as the Windows resources are.
#pragma once

#include <span>

struct DialogControl {
    enum class Kind { Text, Animation, ProgressBar };
    // What a text is to the page, for a view that cannot show the page's layout. Outcome: one of
    // the texts that together tell the outcome of the run, the page's whole message.
    enum class Role { Plain, Outcome };
    Kind kind;
    int id;  // IDC_STATIC (-1) for texts that the program never addresses
    int x, y, width, height;
    const char* text;  // empty for the animation and the progress bar
    Role role = Role::Plain;
};

struct DialogTemplate {
    int id;
    int width, height;
    std::span<const DialogControl> controls;
};

// The template with resource id `id`, or null when there is none.
const DialogTemplate* FindDialogTemplate(int id);
