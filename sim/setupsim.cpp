// setup-sim: the wizard on the portable framework with the simulated Vantor attached, in
// application mode.
#include "framework/portable/programentry.h"
#include "platform/portable/devicebackend.h"
#include "sim/simulatedvantor.h"

int main(int argc, char** argv) {
    sim::SimulatedVantor mixer{sim::SimConfig{}};
    portable::SetDeviceBackend(&mixer);
    const int status = portable::RunProgram(argc, argv);
    portable::SetDeviceBackend(nullptr);
    return status;
}
