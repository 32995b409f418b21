// The report descriptor parser on the descriptors of real kinds of device.
#include <gtest/gtest.h>

#include "hardware/hidreportdescriptor.h"

namespace {

TEST(ReportDescriptor, RefusesAnEmptyDescriptor) {
    portable::HidCapabilities caps;
    EXPECT_FALSE(hardware::ParseReportDescriptor(nullptr, 0, &caps));
}

}  // namespace
