// What the message-sequence tests need of the build they run in: the portable build shows the
// sheet on the headless view; the Windows build on the real window system.
#pragma once

#include <memory>

#include "platform/win32api.h"

class SequenceHost {
public:
    SequenceHost();
    ~SequenceHost();
    SequenceHost(const SequenceHost&) = delete;
    SequenceHost& operator=(const SequenceHost&) = delete;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Presses OK on the message box with this caption, from a message that its loop runs. The portable
// model presses it itself once its queue is empty, as for a person whose input has ended.
void PressOkOnMessageBox(LPCSTR caption);
