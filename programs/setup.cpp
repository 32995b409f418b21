// The program's one application object.
#include "app/setupapp.h"

CSetupApp theApp;
