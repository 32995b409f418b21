// The hidraw ioctls of a served node, answered from the simulated mixer as the kernel's hidraw
// driver answers them from a USB device: what Wine asks when it adds the device, and the feature
// reports of the command channel, failures included.
#include "sim/virtualmixer/hidrawfile.h"

#include <gtest/gtest.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sim/reportdescriptor.h"
#include "tests/support/simulatedsystem.h"

namespace {

constexpr std::size_t kReportLength = 65;

std::unique_ptr<sim::HidrawFile> OpenMixer(SimulatedSystem& system) {
    const auto present = system.Mixer().PresentInterfaces(portable::InterfaceClass::Hid);
    std::shared_ptr<portable::HidChannel> channel;
    for (const auto& entry : present) {
        if (entry.path.find("vid_0ca8") != std::string::npos &&
            system.Mixer().OpenHid(entry.path, GENERIC_READ | GENERIC_WRITE, 3, &channel) ==
                ERROR_SUCCESS) {
            sim::HidrawIdentity identity;
            channel->Describe(&identity.description);
            identity.reportDescriptor = sim::MixerReportDescriptor(kReportLength);
            identity.name = "Corvena Vantor";
            identity.phys = "usb-0000:00:14.0-3/input0";
            return std::make_unique<sim::HidrawFile>(channel, identity);
        }
    }
    return nullptr;
}

std::vector<BYTE> Command(const char* code) {
    std::vector<BYTE> report(kReportLength, 0);
    report[0] = 0xF0;
    std::memcpy(&report[1], code, 4);
    return report;
}

int SetFeature(sim::HidrawFile& file, std::vector<BYTE> report) {
    return file.Ioctl(HIDIOCSFEATURE(report.size()), report.data(), report.size());
}

// The status word of a get of report 0xF0, or -errno.
long long GetStatus(sim::HidrawFile& file, BYTE reportId = 0xF0) {
    std::vector<BYTE> report(kReportLength, 0);
    report[0] = reportId;
    const int result = file.Ioctl(HIDIOCGFEATURE(kReportLength), report.data(), report.size());
    if (result < 0) {
        return result;
    }
    EXPECT_EQ(result, static_cast<int>(kReportLength));
    return (static_cast<long long>(report[1]) << 24) | (report[2] << 16) | (report[3] << 8) |
           report[4];
}

TEST(HidrawFile, AnswersWhatTheHidCoreKnowsOfTheInterface) {
    SimulatedSystem system;
    auto file = OpenMixer(system);
    ASSERT_TRUE(file);

    int size = 0;
    EXPECT_EQ(file->Ioctl(HIDIOCGRDESCSIZE, &size, sizeof size), 0);
    const std::vector<BYTE> expected = sim::MixerReportDescriptor(kReportLength);
    EXPECT_EQ(size, static_cast<int>(expected.size()));
    // The caller's size is not read: the kernel reads it, FUSE does not pass it in.
    hidraw_report_descriptor descriptor{};
    descriptor.size = 0;
    EXPECT_EQ(file->Ioctl(HIDIOCGRDESC, &descriptor, sizeof descriptor), 0);
    EXPECT_EQ(std::vector<BYTE>(descriptor.value, descriptor.value + descriptor.size), expected);

    hidraw_devinfo info{};
    EXPECT_EQ(file->Ioctl(HIDIOCGRAWINFO, &info, sizeof info), 0);
    EXPECT_EQ(info.bustype, 3u);  // USB
    EXPECT_EQ(static_cast<WORD>(info.vendor), 0x0CA8);
    EXPECT_EQ(static_cast<WORD>(info.product), 0x0801);

    char name[64] = {};
    EXPECT_EQ(file->Ioctl(HIDIOCGRAWNAME(64), name, sizeof name), 15);
    EXPECT_STREQ(name, "Corvena Vantor");
    char shortName[8];
    EXPECT_EQ(file->Ioctl(HIDIOCGRAWNAME(8), shortName, sizeof shortName), 8);
    EXPECT_EQ(std::string(shortName, 8), "Corvena ");
    char phys[64] = {};
    EXPECT_EQ(file->Ioctl(HIDIOCGRAWPHYS(64), phys, sizeof phys), 26);
    EXPECT_STREQ(phys, "usb-0000:00:14.0-3/input0");
}

// FUSE hands a reading command a buffer of heap and carries all of it back to the reader.
TEST(HidrawFile, AReadingCommandLeavesNothingOfItsBufferAsItCame) {
    SimulatedSystem system;
    auto file = OpenMixer(system);
    ASSERT_TRUE(file);
    const unsigned commands[] = {HIDIOCGRAWNAME(64), HIDIOCGRAWPHYS(64), HIDIOCGRDESC,
                                 HIDIOCGRAWINFO};
    for (const unsigned command : commands) {
        std::vector<BYTE> heap(_IOC_SIZE(command), 0xBE);
        EXPECT_GE(file->Ioctl(command, heap.data(), heap.size()), 0);
        EXPECT_EQ(std::count(heap.begin(), heap.end(), 0xBE), 0) << std::hex << command;
    }
    // A buffer of no bytes comes as none at all; hidraw copies nothing and says so.
    EXPECT_EQ(file->Ioctl(HIDIOCGRAWNAME(0), nullptr, 0), 0);
    EXPECT_EQ(file->Ioctl(HIDIOCGRAWPHYS(0), nullptr, 0), 0);
}

TEST(HidrawFile, RefusesWhatHidrawDoesNotHave) {
    SimulatedSystem system;
    auto file = OpenMixer(system);
    ASSERT_TRUE(file);
    // Wine asks whether the node is an event device before it takes it as hidraw.
    unsigned long bits[4] = {};
    EXPECT_EQ(file->Ioctl(EVIOCGBIT(0, sizeof bits), bits, sizeof bits), -ENOTTY);
    EXPECT_EQ(file->Ioctl(EVIOCGBIT(EV_ABS, sizeof bits), bits, sizeof bits), -ENOTTY);
    int value = 0;
    EXPECT_EQ(file->Ioctl(_IOR('H', 0x7F, int), &value, sizeof value), -ENOTTY);
    EXPECT_TRUE(system.Mixer().GetTranscript().size() == 1);  // its plug line alone
}

TEST(HidrawFile, CarriesFeatureReportsBothWays) {
    SimulatedSystem system(MixerStartingIn(sim::MixerStart::UpdateAlt));
    auto file = OpenMixer(system);
    ASSERT_TRUE(file);
    EXPECT_EQ(SetFeature(*file, Command("ERFW")), static_cast<int>(kReportLength));
    EXPECT_EQ(GetStatus(*file), 1);  // erasing
    Sleep(300);
    EXPECT_EQ(GetStatus(*file), 4);
    // A report the mixer does not have stalls the pipe.
    EXPECT_EQ(GetStatus(*file, 0xF1), -EPIPE);
    EXPECT_EQ(system.Mixer().GetTranscript(),
              (std::vector<std::string>{"plug 0CA8:0804", "set F0 ERFW", "get F0 00000001",
                                        "get F0 00000004", "get F1 failed 31"}));
}

TEST(HidrawFile, ReportsFailedTransfersAsTheKernelDoes) {
    sim::SimConfig config;
    config.faults.commands.push_back({"GECF", sim::CommandFault::Kind::SendFails, 1, 0});
    SimulatedSystem system(config);
    auto file = OpenMixer(system);
    ASSERT_TRUE(file);
    EXPECT_EQ(SetFeature(*file, Command("GECF")), -EIO);
    EXPECT_EQ(SetFeature(*file, Command("GECF")), static_cast<int>(kReportLength));
    EXPECT_EQ(GetStatus(*file), 10);
    // "EFWU" sends the mixer off the bus: its open files are dead from then on.
    EXPECT_EQ(SetFeature(*file, Command("EFWU")), static_cast<int>(kReportLength));
    EXPECT_EQ(SetFeature(*file, Command("GECF")), -ENODEV);
    EXPECT_EQ(GetStatus(*file), -ENODEV);
    Sleep(3000);  // it is back, but as another device
    EXPECT_EQ(GetStatus(*file), -ENODEV);
}

}  // namespace
