#include "sim/virtualmixer/hidrawfile.h"

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "hid/errnotable.h"
#include "hid/hidid.h"

namespace sim {

namespace {

// The variable-length commands carry their buffer's size in the command; compare without it.
bool Is(unsigned command, unsigned base) {
    return _IOC_TYPE(command) == _IOC_TYPE(base) && _IOC_NR(command) == _IOC_NR(base) &&
           _IOC_DIR(command) == _IOC_DIR(base);
}

// A string ioctl: as much of the text as fits, NUL-terminated when there is room; the kernel
// returns the length copied with the NUL, and 0 for a buffer of no bytes, which FUSE hands over as
// no buffer at all.
int CopyString(const std::string& text, void* data, std::size_t size) {
    const std::size_t length = std::min(text.size() + 1, size);
    if (length != 0) {
        std::memcpy(data, text.c_str(), length);
    }
    return static_cast<int>(length);
}

}  // namespace

HidrawFile::HidrawFile(std::shared_ptr<portable::HidChannel> channel, HidrawIdentity identity)
    : m_channel(std::move(channel)), m_identity(std::move(identity)) {}

int HidrawFile::Ioctl(unsigned command, void* data, std::size_t size) {
    // A command that only reads brings no input, and FUSE carries the whole buffer back to the
    // reader whatever part of it is filled: what is not filled must be zeros, not the server's
    // heap.
    if (_IOC_DIR(command) == _IOC_READ && size != 0) {
        std::memset(data, 0, size);
    }
    if (command == HIDIOCGRDESCSIZE && size >= sizeof(int)) {
        const int length = static_cast<int>(m_identity.reportDescriptor.size());
        std::memcpy(data, &length, sizeof length);
        return 0;
    }
    if (command == HIDIOCGRDESC && size >= sizeof(hidraw_report_descriptor)) {
        // An _IOR command brings no input: the whole descriptor goes out, its size with it.
        auto* descriptor = static_cast<hidraw_report_descriptor*>(data);
        const std::vector<BYTE>& bytes = m_identity.reportDescriptor;
        descriptor->size =
            static_cast<__u32>(std::min<std::size_t>(bytes.size(), HID_MAX_DESCRIPTOR_SIZE));
        std::memcpy(descriptor->value, bytes.data(), descriptor->size);
        return 0;
    }
    if (command == HIDIOCGRAWINFO && size >= sizeof(hidraw_devinfo)) {
        hidraw_devinfo info{};
        info.bustype = hid::kBusUsb;
        info.vendor = static_cast<__s16>(m_identity.description.vendorId);
        info.product = static_cast<__s16>(m_identity.description.productId);
        std::memcpy(data, &info, sizeof info);
        return 0;
    }
    if (Is(command, HIDIOCGRAWNAME(0))) {
        return CopyString(m_identity.name, data, size);
    }
    if (Is(command, HIDIOCGRAWPHYS(0))) {
        return CopyString(m_identity.phys, data, size);
    }
    if ((Is(command, HIDIOCSFEATURE(0)) || Is(command, HIDIOCGFEATURE(0))) && size >= 1) {
        return Feature(Is(command, HIDIOCSFEATURE(0)), static_cast<BYTE*>(data), size);
    }
    return -ENOTTY;
}

int HidrawFile::Feature(bool set, BYTE* report, std::size_t length) {
    // The report goes to the device as the reader gave it, report id in byte 0, whatever its
    // length, as a control transfer on the wire would carry it. The device answers with no more
    // than its report: the kernel returns how much came, and leaves the rest of a larger buffer
    // as the reader gave it.
    const std::size_t reportLength = m_identity.description.caps.featureReportByteLength;
    const std::size_t answered = set || reportLength == 0 ? length : std::min(length, reportLength);
    const DWORD error =
        set ? m_channel->SetFeature(report, length) : m_channel->GetFeature(report, answered);
    if (error != ERROR_SUCCESS) {
        return -hid::ErrnoForTransferError(error);
    }
    return static_cast<int>(answered);
}

}  // namespace sim
