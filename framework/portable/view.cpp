#include "framework/portable/view.h"

#include <atomic>

namespace {

std::atomic<portable::View*> g_view{nullptr};

}  // namespace

namespace portable {

const ControlView* PageView::Control(int id) const {
    for (const ControlView& control : controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

std::string ButtonView::Label() const {
    std::string label;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            label += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            label += '&';
            ++i;
        }
    }
    return label;
}

void SetView(View* view) {
    g_view.store(view);
}

View* CurrentView() {
    return g_view.load();
}

}  // namespace portable
