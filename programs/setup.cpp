// The program's one application object, named in the run log as the program and the commit it was
// built from.
#include "app/setupapp.h"
#include "programs/programversion.h"

CSetupApp theApp(programs::ProgramVersion(VANTOR_PROGRAM));
