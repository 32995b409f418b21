// A program on the framework whose application object shows its command line and exits with the
// number at its start.
#include <cstdio>
#include <cstdlib>

#include "framework/winapp.h"

namespace {

class CExitWithApp : public CWinApp {
public:
    BOOL InitInstance() override {
        std::printf("command line: %s\n", m_lpCmdLine);
        m_nExitCode = static_cast<int>(std::strtoul(m_lpCmdLine, nullptr, 0));
        return FALSE;
    }
    int ExitInstance() override { return m_nExitCode; }

private:
    int m_nExitCode = 0;
};

CExitWithApp theApp;

}  // namespace
