#include "hardware/hidreportdescriptor.h"

namespace hardware {

bool ParseReportDescriptor(const std::uint8_t* /*data*/, std::size_t /*size*/,
                           portable::HidCapabilities* /*caps*/) {
    return false;
}

}  // namespace hardware
