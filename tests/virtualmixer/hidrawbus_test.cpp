// The nodes the virtual mixer serves, in a directory of the test's standing for /dev and sysfs:
// what Wine and libudev find for each mixer, and how a restart shows as a name that goes and comes
// back under the other identity.
#include "sim/virtualmixer/hidrawbus.h"

#include <gtest/gtest.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/simulatedsystem.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The subsystem a libudev reader sees: the last component of the link.
std::string Subsystem(const fs::path& device) {
    return fs::read_symlink(device / "subsystem").filename().string();
}

class HidrawBus : public testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/hidrawbus-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_root = dir;
        for (const char* sub :
             {"dev", "sys/class/hidraw", "sys/class/sound", "sys/devices/mixer"}) {
            fs::create_directories(m_root / sub);
        }
    }
    void TearDown() override { fs::remove_all(m_root); }

    sim::HidrawPlaces Places() const {
        return {(m_root / "dev").string(),
                "/served",
                {(m_root / "sys/class/hidraw").string(), (m_root / "sys/devices/mixer").string(),
                 (m_root / "sys/class/sound").string()}};
    }
    fs::path Dev(const std::string& name) const { return m_root / "dev" / name; }
    fs::path ClassLink(const std::string& name) const { return m_root / "sys/class/hidraw" / name; }
    std::vector<std::string> Entries(const fs::path& dir) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_root;
};

TEST_F(HidrawBus, ServesTheMixerWithTheSysfsEntriesWineReads) {
    SimulatedSystem system;
    sim::HidrawBus bus(&system.Mixer(), Places());
    std::string error;
    ASSERT_TRUE(bus.Refresh(&error)) << error;
    EXPECT_EQ(bus.Names(), std::vector<std::string>{"hidraw0"});
    // The other vendors' devices and the system's keyboard are not served.
    EXPECT_EQ(Entries(m_root / "dev"), std::vector<std::string>{"hidraw0"});
    EXPECT_EQ(fs::read_symlink(Dev("hidraw0")), fs::path("/served/hidraw0"));

    // Wine takes the real path of the class link and needs DEVNAME to name the /dev node.
    const fs::path hidraw = fs::canonical(ClassLink("hidraw0"));
    EXPECT_EQ(hidraw, fs::canonical(m_root / "sys/devices/mixer/usb1/1-3/1-3:1.0/"
                                             "0003:0CA8:0801.0001/hidraw/hidraw0"));
    EXPECT_EQ(Read(hidraw / "uevent"), "MAJOR=240\nMINOR=0\nDEVNAME=hidraw0\n");
    EXPECT_EQ(Subsystem(hidraw), "hidraw");

    const fs::path hid = hidraw.parent_path().parent_path();
    EXPECT_EQ(fs::canonical(hidraw / "device"), hid);
    EXPECT_EQ(Subsystem(hid), "hid");
    EXPECT_EQ(Read(hid / "uevent"),
              "DRIVER=hid-generic\nHID_ID=0003:00000CA8:00000801\nHID_NAME=Corvena Vantor\n"
              "HID_PHYS=usb-0000:00:14.0-3/input0\nHID_UNIQ=VT24A0117\n"
              "MODALIAS=hid:b0003g0001v00000CA8p00000801\n");
    const fs::path usbInterface = hid.parent_path();
    EXPECT_EQ(Subsystem(usbInterface), "usb");
    EXPECT_NE(Read(usbInterface / "uevent").find("DEVTYPE=usb_interface\n"), std::string::npos);
    const fs::path usb = usbInterface.parent_path();
    EXPECT_EQ(Subsystem(usb), "usb");
    const std::string usbEvent = Read(usb / "uevent");
    EXPECT_NE(usbEvent.find("DEVTYPE=usb_device\n"), std::string::npos);
    EXPECT_NE(usbEvent.find("PRODUCT=ca8/801/214\n"), std::string::npos);  // the version
    EXPECT_EQ(Read(usb / "serial"), "VT24A0117\n");
}

TEST_F(HidrawBus, TheRunningMixerHasASoundCardBesideItsHidInterface) {
    SimulatedSystem system;
    sim::HidrawBus bus(&system.Mixer(), Places());
    std::string error;
    ASSERT_TRUE(bus.Refresh(&error)) << error;
    const fs::path card = fs::canonical(m_root / "sys/class/sound/card0");
    EXPECT_EQ(card, fs::canonical(m_root / "sys/devices/mixer/usb1/1-3/1-3:1.1/sound/card0"));
    EXPECT_EQ(Subsystem(card), "sound");
    EXPECT_EQ(Read(card / "id"), "Vantor\n");
    EXPECT_EQ(Read(card / "pcmC0D0c/uevent"), "MAJOR=116\nMINOR=24\nDEVNAME=snd/pcmC0D0c\n");
    const fs::path audio = card.parent_path().parent_path();
    EXPECT_NE(Read(audio / "uevent").find("INTERFACE=1/1/0\n"), std::string::npos);
    EXPECT_EQ(Read(audio.parent_path() / "idVendor"), "0ca8\n");
    EXPECT_EQ(Read(audio.parent_path() / "idProduct"), "0801\n");

    // In update mode the mixer has no audio function: the card goes with the restart.
    int failure = 0;
    auto file = bus.Open("hidraw0", &failure);
    ASSERT_TRUE(file);
    BYTE efwu[65] = {0xF0, 'E', 'F', 'W', 'U'};
    ASSERT_EQ(file->Ioctl(HIDIOCSFEATURE(65), efwu, sizeof efwu), 65);
    ASSERT_TRUE(bus.Refresh(&error)) << error;
    EXPECT_TRUE(Entries(m_root / "sys/class/sound").empty());
}

TEST_F(HidrawBus, ARestartIsANameThatGoesAndComesBack) {
    SimulatedSystem system;
    sim::HidrawBus bus(&system.Mixer(), Places());
    std::string error;
    ASSERT_TRUE(bus.Refresh(&error)) << error;
    int failure = 0;
    auto file = bus.Open("hidraw0", &failure);
    ASSERT_TRUE(file);
    BYTE efwu[65] = {0xF0, 'E', 'F', 'W', 'U'};
    ASSERT_EQ(file->Ioctl(HIDIOCSFEATURE(65), efwu, sizeof efwu), 65);

    // Gone from the bus: an open before the next refresh finds no device behind the name.
    EXPECT_EQ(bus.Open("hidraw0", &failure), nullptr);
    EXPECT_EQ(failure, ENODEV);
    ASSERT_TRUE(bus.Refresh(&error)) << error;
    EXPECT_TRUE(bus.Names().empty());
    EXPECT_FALSE(fs::exists(fs::symlink_status(Dev("hidraw0"))));
    EXPECT_FALSE(fs::exists(fs::symlink_status(ClassLink("hidraw0"))));
    EXPECT_TRUE(Entries(m_root / "sys/devices/mixer/usb1").empty());
    EXPECT_EQ(bus.Open("hidraw0", &failure), nullptr);
    EXPECT_EQ(failure, ENOENT);

    Sleep(2999);
    ASSERT_TRUE(bus.Refresh(&error)) << error;
    EXPECT_TRUE(bus.Names().empty());
    Sleep(1);
    ASSERT_TRUE(bus.Refresh(&error)) << error;
    EXPECT_EQ(bus.Names(), std::vector<std::string>{"hidraw0"});
    // The HID core numbers each device it sees anew.
    const fs::path hid = fs::canonical(ClassLink("hidraw0")).parent_path().parent_path();
    EXPECT_EQ(hid.filename(), "0003:0CA8:0804.0002");
    EXPECT_NE(Read(hid / "uevent").find("HID_ID=0003:00000CA8:00000804\n"), std::string::npos);
    EXPECT_NE(bus.Open("hidraw0", &failure), nullptr);
}

TEST_F(HidrawBus, TwoMixersTakeTheFirstFreeNumbersAndPortsOfTheirOwn) {
    sim::SimConfig config;
    config.secondMixer = true;
    SimulatedSystem system(config);
    std::string error;
    {
        sim::HidrawBus bus(&system.Mixer(), Places());
        ASSERT_TRUE(bus.Refresh(&error)) << error;
        EXPECT_EQ(bus.Names(), (std::vector<std::string>{"hidraw0", "hidraw1"}));
        EXPECT_EQ(Entries(m_root / "sys/devices/mixer/usb1"),
                  (std::vector<std::string>{"1-3", "1-4"}));
        EXPECT_EQ(Read(m_root / "sys/devices/mixer/usb1/1-4/serial"), "VT24A0342\n");

        // The first mixer restarts: the second keeps its number, the first takes the free one.
        int failure = 0;
        auto file = bus.Open("hidraw0", &failure);
        BYTE efwu[65] = {0xF0, 'E', 'F', 'W', 'U'};
        ASSERT_EQ(file->Ioctl(HIDIOCSFEATURE(65), efwu, sizeof efwu), 65);
        ASSERT_TRUE(bus.Refresh(&error));
        EXPECT_EQ(bus.Names(), std::vector<std::string>{"hidraw1"});
        Sleep(3000);
        ASSERT_TRUE(bus.Refresh(&error));
        EXPECT_EQ(bus.Names(), (std::vector<std::string>{"hidraw0", "hidraw1"}));
        EXPECT_EQ(fs::canonical(ClassLink("hidraw0")).parent_path().parent_path().filename(),
                  "0003:0CA8:0804.0003");
    }
    // A bus that ends takes every node with it.
    EXPECT_TRUE(Entries(m_root / "dev").empty());
    EXPECT_TRUE(Entries(m_root / "sys/class/hidraw").empty());
    EXPECT_TRUE(Entries(m_root / "sys/devices/mixer/usb1").empty());
}

TEST_F(HidrawBus, NamesNoNodeWhoseSysfsEntriesCouldNotBeMade) {
    SimulatedSystem system;
    fs::remove_all(m_root / "sys/devices/mixer");
    std::ofstream(m_root / "sys/devices/mixer") << "not a directory";
    sim::HidrawBus bus(&system.Mixer(), Places());
    std::string error;
    EXPECT_FALSE(bus.Refresh(&error));
    EXPECT_NE(error.find("cannot write the sysfs entries of hidraw0"), std::string::npos) << error;
    // Wine would find a name that libudev cannot make a device of.
    EXPECT_TRUE(Entries(m_root / "dev").empty());
    EXPECT_TRUE(bus.Names().empty());
}

TEST_F(HidrawBus, SaysWhyWhenTheFileSystemRefusesAnEntry) {
    SimulatedSystem system;
    fs::remove_all(m_root / "dev");
    std::ofstream(m_root / "dev") << "not a directory";
    sim::HidrawBus bus(&system.Mixer(), Places());
    std::string error;
    EXPECT_FALSE(bus.Refresh(&error));
    EXPECT_NE(error.find("cannot make " + Dev("hidraw0").string()), std::string::npos) << error;
}

}  // namespace
