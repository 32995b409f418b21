// The hidraw backend on the virtual mixer's nodes, through libudev, sysfs and the kernel. Runs
// inside scripts/with-virtual-mixer; without it there is no mixer and the test says so.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "hardware/hardwarebackend.h"
#include "hardware/hidrawchannel.h"
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
    void TearDown() override { portable::SetDeviceBackend(nullptr); }
};

// True when, within 10 s of the real clock, the one node is the mixer under `productId` and can be
// opened.
bool MixerIsThereAs(WORD productId) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::vector<hardware::HidrawDevice> devices = hardware::PresentHidrawDevices();
        if (devices.size() == 1 && devices[0].description.productId == productId &&
            access(devices[0].devnode.c_str(), F_OK) == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

DWORD SendCommand(hardware::HardwareBackend& backend, const std::string& path, const char* code) {
    std::shared_ptr<portable::HidChannel> channel;
    const DWORD error = backend.OpenHid(path, GENERIC_READ | GENERIC_WRITE, 3, &channel);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    BYTE report[65] = {0xF0};
    std::memcpy(report + 1, code, 4);
    return channel->SetFeature(report, sizeof report);
}

TEST_F(VirtualMixerNodes, TheMixerIsFoundWithItsIdentityAndStrings) {
    const std::vector<hardware::HidrawDevice> devices = hardware::PresentHidrawDevices();
    ASSERT_EQ(devices.size(), 1u);
    const hardware::HidrawDevice& mixer = devices[0];
    EXPECT_EQ(mixer.devnode, "/dev/hidraw0");
    EXPECT_EQ(mixer.number, 0u);
    EXPECT_EQ(mixer.description.vendorId, 0x0CA8);
    EXPECT_EQ(mixer.description.productId, 0x0801);
    EXPECT_EQ(mixer.description.manufacturer, std::u16string(u"Corvena"));
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

// sysfs keeps whatever string a device gives; the wizard's buffers hold 256 characters. A string
// longer than that is read whole, and handed to the wizard whole or not at all: never cut short
// without its end.
TEST_F(VirtualMixerNodes, AStringLongerThanTheWizardsBufferIsNotCutShort) {
    const std::string productFile =
        hardware::PresentHidrawDevices().at(0).usbDeviceSyspath + "/product";
    struct Restore {
        std::string file;
        std::string text;
        ~Restore() { std::ofstream(file) << text; }
    } restore{productFile, ""};
    std::getline(std::ifstream(productFile), restore.text, '\0');
    const std::string longProduct(300, 'V');
    std::ofstream(productFile) << longProduct << "\n";
    EXPECT_EQ(hardware::PresentHidrawDevices().at(0).description.product,
              std::u16string(longProduct.begin(), longProduct.end()));

    std::ostringstream warnings;
    hardware::HardwareBackend backend(0x0CA8, warnings);
    portable::SetDeviceBackend(&backend);
    const auto listed = backend.PresentInterfaces(portable::InterfaceClass::Hid);
    ASSERT_EQ(listed.size(), 1u);
    HANDLE handle = CreateFileA(listed[0].path.c_str(), GENERIC_READ | GENERIC_WRITE, 3, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    WCHAR product[256] = {};
    EXPECT_FALSE(HidD_GetProductString(handle, product, sizeof product));
    EXPECT_EQ(std::u16string(product), u"");
    CloseHandle(handle);
}

// A device answers with no more than its report; asked for more, the rest comes back as zeros, as
// Windows hands it back, never as what the buffer held before.
TEST_F(VirtualMixerNodes, AShortAnswerIsFilledUpWithZeros) {
    std::ostringstream warnings;
    hardware::HardwareBackend backend(0x0CA8, warnings);
    const auto listed = backend.PresentInterfaces(portable::InterfaceClass::Hid);
    ASSERT_EQ(listed.size(), 1u);
    std::shared_ptr<portable::HidChannel> channel;
    ASSERT_EQ(backend.OpenHid(listed[0].path, GENERIC_READ | GENERIC_WRITE, 3, &channel),
              static_cast<DWORD>(ERROR_SUCCESS));
    std::vector<BYTE> report(100, 0xAA);
    report[0] = 0xF0;
    ASSERT_EQ(channel->GetFeature(report.data(), report.size()), static_cast<DWORD>(ERROR_SUCCESS));
    std::vector<BYTE> expected(100, 0);
    expected[0] = 0xF0;
    EXPECT_EQ(report, expected);  // a mixer that was sent nothing answers status 0
    // The kernel says how much came: the whole report, no more.
    const int fd = open("/dev/hidraw0", O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    report.assign(100, 0xAA);
    report[0] = 0xF0;
    EXPECT_EQ(ioctl(fd, HIDIOCGFEATURE(100), report.data()), 65);
    close(fd);
}

// The mixer restarts, and comes back as another device on the number it had: the node listed
// before is gone, and what now has its number must not get the commands meant for it.
TEST_F(VirtualMixerNodes, ANodeWhoseNumberAnotherDeviceTookDoesNotOpen) {
    std::ostringstream warnings;
    hardware::HardwareBackend backend(0x0CA8, warnings);
    const auto listed = backend.PresentInterfaces(portable::InterfaceClass::Hid);
    ASSERT_EQ(listed.size(), 1u);
    ASSERT_EQ(SendCommand(backend, listed[0].path, "EFWU"), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(MixerIsThereAs(0x0804));

    std::shared_ptr<portable::HidChannel> channel;
    EXPECT_EQ(backend.OpenHid(listed[0].path, GENERIC_READ | GENERIC_WRITE, 3, &channel),
              static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(channel, nullptr);
    // Nor does a node that was opened before, as what it was then, describe itself as that.
    portable::HidDescription listedAs;
    listedAs.vendorId = 0x0CA8;
    listedAs.productId = 0x0801;
    hardware::HidrawChannel opened(open("/dev/hidraw0", O_RDWR | O_CLOEXEC), listedAs);
    portable::HidDescription description;
    EXPECT_EQ(opened.Describe(&description), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));

    // Listed again it opens as what it is now, and goes back to its firmware for what follows.
    const auto relisted = backend.PresentInterfaces(portable::InterfaceClass::Hid);
    ASSERT_EQ(relisted.size(), 1u);
    EXPECT_EQ(SendCommand(backend, relisted[0].path, "BOOT"), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(MixerIsThereAs(0x0801));
}

}  // namespace
