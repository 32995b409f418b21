// The hidraw backend on the virtual mixer's nodes, through libudev, sysfs and the kernel. Runs
// inside scripts/with-virtual-mixer; without it there is no mixer and the test says so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "hardware/hardwarebackend.h"
#include "hardware/hidrawdevices.h"

namespace {

class VirtualMixerNodes : public testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("VIRTUAL_MIXER_PID") == nullptr) {
            GTEST_SKIP() << "not inside scripts/with-virtual-mixer";
        }
    }
};

TEST_F(VirtualMixerNodes, TheMixerIsFoundWithItsIdentityAndStrings) {
    const std::vector<hardware::HidrawDevice> devices = hardware::PresentHidrawDevices();
    ASSERT_EQ(devices.size(), 1u);
    const hardware::HidrawDevice& mixer = devices[0];
    EXPECT_EQ(mixer.devnode, "/dev/hidraw0");
    EXPECT_EQ(mixer.number, 0u);
    EXPECT_EQ(mixer.vendorId, 0x0CA8);
    EXPECT_EQ(mixer.productId, 0x0801);
    EXPECT_EQ(mixer.manufacturer, std::u16string(u"Corvena"));
    EXPECT_NE(mixer.interfaceSyspath.find(mixer.usbDeviceSyspath + "/"), std::string::npos);
    EXPECT_NE(mixer.hidSyspath.find(mixer.interfaceSyspath + "/"), std::string::npos);
}

}  // namespace
