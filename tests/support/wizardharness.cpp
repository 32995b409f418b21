#include "tests/support/wizardharness.h"

#include "app/setupapp.h"
#include "app/setupdlg.h"
#include "app/workeranswers.h"
#include "framework/portable/windowmodel.h"
#include "platform/portable/clock.h"

WizardHarness::WizardHarness() {
    // Workers' waits cost no time.
    portable::UseVirtualClock();
    CSetupDlg::SetWorkerOutcome(0, 0, 0, 0);
    InterlockedExchange(&UpdateAnswer, 0);
    InterlockedExchange(&UsbTestAnswer, 0);
    InterlockedExchange(&DanteTestAnswer, 0);
    portable::SetView(&view);
    portable::WindowModel& model = portable::WindowModel::Instance();
    model.SetSpy([this, &model](HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
        const portable::Window* page = model.Find(handle);
        if (message == WM_APP && page != nullptr) {
            notifications.push_back(
                {page->templateId, static_cast<UINT>(wParam), static_cast<LONG>(lParam)});
        }
    });
}

std::vector<UINT> WizardHarness::CodesOn(int templateId) const {
    std::vector<UINT> codes;
    for (const Notification& notification : notifications) {
        if (notification.page == templateId) {
            codes.push_back(notification.code);
        }
    }
    return codes;
}

std::vector<LONG> WizardHarness::ProgressOn(int templateId) const {
    std::vector<LONG> values;
    for (const Notification& notification : notifications) {
        if (notification.page == templateId && notification.code == 2) {
            values.push_back(notification.value);
        }
    }
    return values;
}

WizardHarness::~WizardHarness() {
    portable::WindowModel::Instance().SetSpy(nullptr);
    portable::SetView(nullptr);
    portable::UseRealClock();
}

int WizardHarness::Run(const char* commandLine) {
    CSetupApp app;
    std::string line = commandLine;
    return AfxWinMain(GetModuleHandleA(nullptr), nullptr, line.data(), 1);
}

portable::SheetView WizardHarness::LastStateOf(int templateId) const {
    portable::SheetView last;
    for (const auto& entry : view.Entries()) {
        if (entry.sheet.page.templateId == templateId) {
            last = entry.sheet;
        }
    }
    return last;
}

std::vector<portable::HeadlessView::Entry> WizardHarness::EventsOn(
    int templateId, portable::ViewEvent::Kind kind) const {
    std::vector<portable::HeadlessView::Entry> events;
    for (const auto& entry : view.Entries()) {
        if (entry.sheet.page.templateId == templateId && entry.event.kind == kind) {
            events.push_back(entry);
        }
    }
    return events;
}
