// The wizard application: builds the wizard from the command line, runs it modally and turns the
// way it ended into the process exit code.
#pragma once

#include <string>

#include "framework/frameworkids.h"
#include "framework/winapp.h"

class CSetupApp : public CWinApp {
public:
    // `programVersion` is what the run log names the program by: "setup.exe 1.0.0 (commit ...)".
    explicit CSetupApp(std::string programVersion = "setup");

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Whether a switch occurs on the command line (see commandline.h), outside the log switch.
    BOOL HasSwitch(LPCSTR lpSwitch) const;
    // The command line the wizard's switches are searched in: all but the log switch.
    std::string GetSwitches() const;

    // Sets the exit code from the wizard's modal result. After Finish the code is the one the
    // finish page copied from the last stage's outcome, so it stays; Cancel makes it
    // ERROR_CANCELLED.
    void ApplyWizardResult(INT_PTR nResult);

    int m_nExitCode = 0;

private:
    // Takes the machine's update mutex; false, with the exit code set and the person told, when
    // another wizard holds it.
    bool TakeUpdateMutex();
    // Starts the run log when the command line asks for one, with what the run is and where.
    void StartLog();
    // Ends the log with the exit code.
    void StopLog();
    // A log that cannot be written is said once, and the run goes on as it would without one.
    void ReportLogFailure(const std::string& reason);

    HANDLE m_hUpdateMutex = nullptr;
    std::string m_strProgramVersion;
};
