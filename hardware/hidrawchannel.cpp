#include "hardware/hidrawchannel.h"

#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
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
        return hid::Win32ErrorForTransfer(errno);
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
        return hid::Win32ErrorForTransfer(errno);
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
