// The hidraw backend on the virtual mixer's nodes, through libudev, sysfs and the kernel. Runs
// inside scripts/with-virtual-mixer; without it there is no mixer and the test says so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "hardware/hardwarebackend.h"
#include "hardware/hidrawdevices.h"
#include "hardware/soundcards.h"

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

TEST_F(VirtualMixerNodes, TheMixersSoundCardHangsUnderItsUsbDevice) {
    const std::vector<hardware::SoundCard> cards = hardware::PresentSoundCards();
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].number, 0u);
    EXPECT_EQ(cards[0].id, "Vantor");
    EXPECT_EQ(cards[0].vendorId, 0x0CA8);
    EXPECT_EQ(cards[0].productId, 0x0801);
    EXPECT_EQ(cards[0].captureDevices, std::vector<unsigned>{0});
    EXPECT_EQ(cards[0].usbDeviceSyspath, hardware::PresentHidrawDevices().at(0).usbDeviceSyspath);
    EXPECT_NE(cards[0].interfaceSyspath, hardware::PresentHidrawDevices().at(0).interfaceSyspath);

    // In the backend's tree the audio interface is a sibling of the HID interface function, and
    // the one capture device names it as its own.
    std::ostringstream warnings;
    hardware::HardwareBackend backend(0x0CA8, warnings);
    const auto hid = backend.PresentInterfaces(portable::InterfaceClass::Hid);
    const auto audio = backend.PresentInterfaces(portable::InterfaceClass::Audio);
    ASSERT_EQ(hid.size(), 1u);
    ASSERT_EQ(audio.size(), 1u);
    DWORD function = 0;
    DWORD usbDevice = 0;
    DWORD audioParent = 0;
    ASSERT_TRUE(backend.ParentNode(hid[0].devInst, &function));
    ASSERT_TRUE(backend.ParentNode(function, &usbDevice));
    ASSERT_TRUE(backend.ParentNode(audio[0].devInst, &audioParent));
    EXPECT_EQ(audioParent, usbDevice);
    const auto capture = backend.WaveDevices(portable::WaveDirection::Capture);
    ASSERT_EQ(capture.size(), 1u);
    EXPECT_EQ(capture[0].interfaceName, std::u16string(audio[0].path.begin(), audio[0].path.end()));
    EXPECT_EQ(warnings.str(), "");
}

}  // namespace
