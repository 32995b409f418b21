#include "tests/app/wizardharness.h"

#include "app/setupapp.h"
#include "app/setupdlg.h"
#include "app/workernotification.h"
#include "platform/portable/clock.h"

WorkerScripts& Workers() {
    static WorkerScripts scripts;
    return scripts;
}

void Succeed(CProgressPage& page, int bodyId) {
    CSetupDlg::SetWorkerOutcome(0, bodyId, 0, 0);
    NotifyPage(&page, WN_DONE);
}

// The stages' worker operations, linked in place of the real ones.
UINT CInstallingPage::UpdateWorker() {
    ++Workers().started;
    if (Workers().update) {
        Workers().update(*this);
    } else {
        Succeed(*this);
    }
    return 0;
}

UINT CTestingPage::UsbTestWorker() {
    ++Workers().started;
    if (Workers().usbTest) {
        Workers().usbTest(*this);
    } else {
        Succeed(*this);
    }
    return 0;
}

UINT CDantePage::DanteTestWorker() {
    ++Workers().started;
    if (Workers().danteTest) {
        Workers().danteTest(*this);
    } else {
        Succeed(*this);
    }
    return 0;
}

WizardHarness::WizardHarness() {
    // Workers' waits cost no time; the wizard's own state starts as at process start.
    portable::UseVirtualClock();
    Workers() = WorkerScripts{};
    CSetupDlg::SetWorkerOutcome(0, 0, 0, 0);
    InterlockedExchange(&UpdateAnswer, 0);
    InterlockedExchange(&UsbTestAnswer, 0);
    InterlockedExchange(&DanteTestAnswer, 0);
    portable::SetView(&view);
}

WizardHarness::~WizardHarness() {
    portable::SetView(nullptr);
    portable::UseRealClock();
    Workers() = WorkerScripts{};
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
