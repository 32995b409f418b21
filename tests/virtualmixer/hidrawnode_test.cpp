// The virtual mixer as a reader of /dev/hidraw0 meets it, through the kernel: the hidraw ioctls
// carried by FUSE to the server, no input reports, and the mixer's restart as the node going and
// coming back under the update identity, on the real clock. Runs inside scripts/with-virtual-mixer;
// without it there is no node and the test says so.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr const char* kNode = "/dev/hidraw0";
constexpr int kReportLength = 65;

class HidrawNode : public testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("VIRTUAL_MIXER_PID") == nullptr) {
            GTEST_SKIP() << "not inside scripts/with-virtual-mixer";
        }
        m_fd = open(kNode, O_RDWR | O_NONBLOCK);
        ASSERT_GE(m_fd, 0) << std::strerror(errno);
    }
    void TearDown() override {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }

    int Command(const char* code) {
        unsigned char report[kReportLength] = {0xF0};
        std::memcpy(report + 1, code, 4);
        return ioctl(m_fd, HIDIOCSFEATURE(kReportLength), report);
    }
    long long Status() {
        unsigned char report[kReportLength] = {0xF0};
        const int result = ioctl(m_fd, HIDIOCGFEATURE(kReportLength), report);
        if (result < 0) {
            return -errno;
        }
        return (static_cast<long long>(report[1]) << 24) | (report[2] << 16) | (report[3] << 8) |
               report[4];
    }

    int m_fd = -1;
};

// True when the node exists (or not) within `seconds`.
bool NodeExistsWithin(bool exists, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    struct stat st {};
    while (std::chrono::steady_clock::now() < deadline) {
        if ((lstat(kNode, &st) == 0) == exists) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(HidrawNode, AnswersTheHidrawIoctlsThroughTheKernel) {
    int size = 0;
    ASSERT_EQ(ioctl(m_fd, HIDIOCGRDESCSIZE, &size), 0);
    EXPECT_GT(size, 0);
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<__u32>(size);
    ASSERT_EQ(ioctl(m_fd, HIDIOCGRDESC, &descriptor), 0);
    EXPECT_EQ(descriptor.size, static_cast<__u32>(size));
    EXPECT_EQ(std::string(descriptor.value, descriptor.value + 3),
              std::string("\x06\x00\xFF", 3));  // the vendor-defined usage page

    hidraw_devinfo info{};
    ASSERT_EQ(ioctl(m_fd, HIDIOCGRAWINFO, &info), 0);
    EXPECT_EQ(static_cast<unsigned short>(info.vendor), 0x0CA8);
    EXPECT_EQ(static_cast<unsigned short>(info.product), 0x0801);
    char name[256] = {};
    EXPECT_EQ(ioctl(m_fd, HIDIOCGRAWNAME(sizeof name), name), 15);
    EXPECT_STREQ(name, "Corvena Vantor");
    // FUSE carries the server's whole buffer back: none of its heap may come with the name.
    EXPECT_EQ(std::string(name + 15, name + sizeof name), std::string(sizeof name - 15, '\0'));
    // A buffer of no bytes gets nothing, and the server is still there for what follows.
    EXPECT_EQ(ioctl(m_fd, HIDIOCGRAWNAME(0), nullptr), 0);

    EXPECT_EQ(Command("GECF"), kReportLength);
    EXPECT_EQ(Status(), 10);
    unsigned long bits = 0;
    EXPECT_EQ(ioctl(m_fd, EVIOCGBIT(0, sizeof bits), &bits), -1);
    EXPECT_EQ(errno, ENOTTY);
}

TEST_F(HidrawNode, HasNoInputReports) {
    pollfd poller{m_fd, POLLIN, 0};
    EXPECT_EQ(poll(&poller, 1, 50), 0);
    char buffer[64];
    EXPECT_EQ(read(m_fd, buffer, sizeof buffer), -1);
    EXPECT_EQ(errno, EAGAIN);
}

TEST_F(HidrawNode, ARestartTakesTheNodeAwayAndBringsItBack) {
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_EQ(Command("EFWU"), kReportLength);
    EXPECT_TRUE(NodeExistsWithin(false, 1.0));
    // The open file stays, its device gone.
    EXPECT_EQ(Status(), -ENODEV);
    EXPECT_TRUE(NodeExistsWithin(true, 5.0));
    // The simulated mixer is off the bus for 3 s of the real clock.
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(2990));
    const int fd = open(kNode, O_RDWR);
    ASSERT_GE(fd, 0);
    hidraw_devinfo info{};
    EXPECT_EQ(ioctl(fd, HIDIOCGRAWINFO, &info), 0);
    EXPECT_EQ(static_cast<unsigned short>(info.product), 0x0804);
    close(fd);
}

}  // namespace
