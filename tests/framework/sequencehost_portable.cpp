#include "framework/portable/headlessview.h"
#include "tests/framework/sequencehost.h"

struct SequenceHost::State {
    portable::HeadlessView view;  // no script: every question is answered as input ended
};

SequenceHost::SequenceHost() : m_state(std::make_unique<State>()) {
    portable::SetView(&m_state->view);
}

SequenceHost::~SequenceHost() {
    portable::SetView(nullptr);
}

void PressOkOnMessageBox(LPCSTR /*caption*/) {}
