// What the view is told: a snapshot of the whole sheet with every visible change.
#include "framework/portable/windowmodel.h"

#include "framework/frameworkids.h"
#include "framework/portable/gdi.h"

namespace portable {

namespace {

ButtonView ButtonFrom(const Window* window) {
    ButtonView button;
    if (window != nullptr) {
        button.visible = window->visible;
        button.enabled = window->enabled;
        button.text = window->text;
    } else {
        button.visible = button.enabled = false;
    }
    return button;
}

}  // namespace

void WindowModel::Report(ViewEvent::Kind kind, int control, int button, INT_PTR result) {
    View* view = CurrentView();
    const bool aboutBox =
        kind == ViewEvent::Kind::MessageBoxShown || kind == ViewEvent::Kind::MessageBoxClosed;
    // Nothing is shown without a sheet but a box, which may stand alone.
    if (view == nullptr || (m_sheet == nullptr && !aboutBox)) {
        return;
    }
    view->Show(Snapshot(), ViewEvent{kind, control, button, result});
}

void WindowModel::ReportChange(const Window& window) {
    if (m_behaviour == nullptr) {
        return;
    }
    if (window.handle == m_sheet) {
        Report(ViewEvent::Kind::CaptionChanged);
    } else if (window.kind == Window::Kind::Button && window.parent == m_sheet) {
        Report(ViewEvent::Kind::ButtonChanged, 0, window.id);
    } else if (window.parent != nullptr && window.parent == m_behaviour->ActivePageWindow()) {
        Report(ViewEvent::Kind::ControlChanged, window.id);
    }
}

SheetView WindowModel::Snapshot() {
    SheetView sheet;
    // A box may stand without a sheet (before the wizard, or after it).
    sheet.messageBox = m_box;
    sheet.taskbar = m_taskbar;
    const Window* frame = Find(m_sheet);
    if (frame == nullptr) {
        sheet.present = false;
        return sheet;
    }
    sheet.caption = frame->text;
    sheet.systemMenu = (frame->style & WS_SYSMENU) != 0;
    sheet.contextHelp = (frame->style & DS_CONTEXTHELP) != 0;
    sheet.back = ButtonFrom(Find(Child(m_sheet, ID_WIZBACK)));
    sheet.next = ButtonFrom(Find(Child(m_sheet, ID_WIZNEXT)));
    sheet.finish = ButtonFrom(Find(Child(m_sheet, ID_WIZFINISH)));
    sheet.cancel = ButtonFrom(Find(Child(m_sheet, IDCANCEL)));
    if (m_behaviour == nullptr) {
        return sheet;
    }
    sheet.activePage = m_behaviour->ActivePageIndex();
    const Window* page = Find(m_behaviour->ActivePageWindow());
    if (page == nullptr) {
        return sheet;
    }
    sheet.page.templateId = page->templateId;
    sheet.page.exterior = page->exterior;
    sheet.page.headerTitle = page->headerTitle;
    sheet.page.headerSubtitle = page->headerSubtitle;
    for (HWND handle : Children(page->handle)) {
        const Window* window = Find(handle);
        ControlView control;
        control.kind = window->kind == Window::Kind::Animation     ? ControlView::Kind::Animation
                       : window->kind == Window::Kind::ProgressBar ? ControlView::Kind::ProgressBar
                                                                   : ControlView::Kind::Text;
        control.role = window->role;
        control.id = window->id;
        control.text = window->text;
        control.visible = window->visible;
        control.bold = IsBoldFont(window->font);
        control.position = window->position;
        control.marquee = window->marqueeRunning && (window->style & PBS_MARQUEE) != 0;
        control.clipOpen = window->clipOpen;
        control.playing = window->playing;
        sheet.page.controls.push_back(control);
    }
    return sheet;
}

}  // namespace portable
