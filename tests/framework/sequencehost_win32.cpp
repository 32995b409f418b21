#include "tests/framework/sequencehost.h"

struct SequenceHost::State {};

SequenceHost::SequenceHost() = default;
SequenceHost::~SequenceHost() = default;

void PressOkOnMessageBox(LPCSTR caption) {
    // A message box is a dialog of the system's dialog class.
    if (HWND box = FindWindowA("#32770", caption)) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
}
