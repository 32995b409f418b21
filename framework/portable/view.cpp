#include "framework/portable/view.h"

#include <atomic>

namespace {

std::atomic<portable::View*> g_view{nullptr};

}  // namespace

namespace portable {

void SetView(View* view) {
    g_view.store(view);
}

View* CurrentView() {
    return g_view.load();
}

}  // namespace portable
