// A stage that reaches up into the wizard: the layer check must name this include.
#include "app/setupdlg.h"
#include "device/vantorhid.h"
