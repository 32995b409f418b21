// Scripted workers in place of the real stages, and the wizard run with them.
#pragma once

#include <functional>

#include "app/dantepage.h"
#include "app/installingpage.h"
#include "app/testingpage.h"
#include "tests/support/wizardharness.h"

// What each worker does when its page starts it; by default each stage succeeds at once. The
// scripts run on the workers' own threads.
struct WorkerScripts {
    std::function<void(CInstallingPage&)> update;
    std::function<void(CTestingPage&)> usbTest;
    std::function<void(CDantePage&)> danteTest;
    int started = 0;  // how many workers ran
};
WorkerScripts& Workers();

// A worker's success, as the update stores it.
void Succeed(CProgressPage& page, int bodyId = 0);

// The wizard with the default scripts: each stage succeeds at once.
class ScriptedWizard : public WizardHarness {
public:
    ScriptedWizard() { Workers() = WorkerScripts{}; }
    ~ScriptedWizard() { Workers() = WorkerScripts{}; }
};
