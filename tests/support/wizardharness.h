// Runs the whole wizard as the program does, through the framework entry, on the headless view and
// the virtual clock, with the state a process starts with.
#pragma once

#include <string>
#include <vector>

#include "framework/portable/headlessview.h"

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

    // The workers' notifications, as their pages received them.
    struct Notification {
        int page;  // the page's dialog template
        UINT code;
        LONG value;
    };
    std::vector<Notification> notifications;
    // The codes, or the values of code 2, that one page received.
    std::vector<UINT> CodesOn(int templateId) const;
    std::vector<LONG> ProgressOn(int templateId) const;

    portable::HeadlessView view;
};
