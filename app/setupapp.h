// The wizard application: builds the wizard from the command line, runs it modally and turns the
// way it ended into the process exit code.
#pragma once

#include "framework/frameworkids.h"
#include "framework/winapp.h"

class CSetupApp : public CWinApp {
public:
    CSetupApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Whether a switch occurs on the command line (see commandline.h).
    BOOL HasSwitch(LPCSTR lpSwitch) const;

    // Sets the exit code from the wizard's modal result. After Finish the code is the one the
    // finish page copied from the last stage's outcome, so it stays; Cancel makes it
    // ERROR_CANCELLED.
    void ApplyWizardResult(INT_PTR nResult);

    int m_nExitCode = 0;

private:
    // Takes the machine's update mutex; false, with the exit code set and the person told, when
    // another wizard holds it.
    bool TakeUpdateMutex();

    HANDLE m_hUpdateMutex = nullptr;
};
