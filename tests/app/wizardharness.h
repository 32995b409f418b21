// Runs the whole wizard as the program does, through the framework entry, on the headless view,
// with scripted workers in place of the real stages.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/dantepage.h"
#include "app/installingpage.h"
#include "app/testingpage.h"
#include "framework/portable/headlessview.h"

// What each worker does when its page starts it; by default each stage succeeds at once. The
// scripts run on the workers' own threads.
struct WorkerScripts {
    std::function<void(CInstallingPage&)> update;
    std::function<void(CTestingPage&)> usbTest;
    std::function<void(CDantePage&)> danteTest;
    int started = 0;  // how many workers ran
};
WorkerScripts& Workers();

class WizardHarness {
public:
    WizardHarness();
    ~WizardHarness();
    WizardHarness(const WizardHarness&) = delete;
    WizardHarness& operator=(const WizardHarness&) = delete;

    // The exit code of a run with this command line.
    int Run(const char* commandLine);

    // The sheet as it was at the last event while the page with this template was active.
    portable::SheetView LastStateOf(int templateId) const;
    std::vector<portable::HeadlessView::Entry> EventsOn(int templateId,
                                                        portable::ViewEvent::Kind kind) const;

    portable::HeadlessView view;
};

// A worker's success, as the update stores it.
void Succeed(CProgressPage& page, int bodyId = 0);
