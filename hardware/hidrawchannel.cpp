#include "hardware/hidrawchannel.h"

#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "hardware/hidreportdescriptor.h"
#include "hid/errnotable.h"

namespace hardware {

namespace {

// An ioctl, again when a signal interrupted it.
int Ioctl(int fd, unsigned long request, void* argument) {
    int result;
    do {
        result = ioctl(fd, request, argument);
    } while (result < 0 && errno == EINTR);
    return result;
}

// How long a transfer that failed as a vanished device's does waits for the kernel to say whether
// the device left. A pulled cable fails the transfer on the wire (a transaction error) a moment
// before the hub reports the port empty and the node goes; Windows reports such a transfer as the
// device's leaving, and so does this. Only a failure of that kind waits: a stall is an answer.
constexpr int kLeavingWaitMs = 2000;

// Whether the node's device leaves within the wait: hidraw's poll says so with POLLHUP once its
// device is gone. Input reports that arrive meanwhile are read and dropped, as nothing here reads
// them.
bool DeviceLeaves(int fd) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kLeavingWaitMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd node{fd, POLLIN, 0};
        const int ready = poll(&node, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        if (ready > 0 && (node.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            return true;
        }
        if (ready > 0 && (node.revents & POLLIN) != 0) {
            BYTE input[4096];  // a longer report is cut to it, and dropped all the same
            if (read(fd, input, sizeof input) < 0 && errno == ENODEV) {
                return true;
            }
        }
    }
}

// The code of a failed transfer: errno as the table has it, but a transaction error of a device
// that then leaves is its leaving.
DWORD TransferFailure(int fd, int error) {
    if ((error == EPROTO || error == ETIMEDOUT) && DeviceLeaves(fd)) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    return hid::Win32ErrorForTransfer(error);
}

}  // namespace

HidrawChannel::HidrawChannel(int fd, const portable::HidDescription& description)
    : m_fd(fd), m_description(description) {}

HidrawChannel::~HidrawChannel() {
    close(m_fd);
}

DWORD HidrawChannel::Describe(portable::HidDescription* description) {
    if (const int error = CheckIdentity(m_fd, m_description.vendorId, m_description.productId)) {
        return hid::Win32ErrorForTransfer(error);
    }
    *description = m_description;
    return ERROR_SUCCESS;
}

DWORD HidrawChannel::GetFeature(BYTE* report, std::size_t length) {
    const int got = Ioctl(m_fd, HIDIOCGFEATURE(length), report);
    if (got < 0) {
        return TransferFailure(m_fd, errno);
    }
    // A device may answer with less than the whole report; Windows hands back the rest as zeros.
    if (static_cast<std::size_t>(got) < length) {
        std::memset(report + got, 0, length - static_cast<std::size_t>(got));
    }
    return ERROR_SUCCESS;
}

DWORD HidrawChannel::SetFeature(const BYTE* report, std::size_t length) {
    std::vector<BYTE> copy(report, report + length);  // the ioctl's argument is not const
    if (Ioctl(m_fd, HIDIOCSFEATURE(length), copy.data()) < 0) {
        return TransferFailure(m_fd, errno);
    }
    return ERROR_SUCCESS;
}

int CheckIdentity(int fd, WORD vendorId, WORD productId) {
    hidraw_devinfo info{};
    if (Ioctl(fd, HIDIOCGRAWINFO, &info) < 0) {
        return errno;
    }
    const bool same =
        static_cast<WORD>(info.vendor) == vendorId && static_cast<WORD>(info.product) == productId;
    return same ? 0 : ENODEV;
}

bool ReadCapabilities(int fd, portable::HidCapabilities* caps) {
    int size = 0;
    if (Ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        return false;
    }
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<__u32>(size);
    if (Ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) {
        return false;
    }
    return ParseReportDescriptor(descriptor.value, descriptor.size, caps);
}

}  // namespace hardware
