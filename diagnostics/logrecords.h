// The words of the run log's events that a program reads back: the mixer as found and each feature
// transfer. Both are written and read here, so that the log and its replay cannot drift apart.
//
//   found vendor=0CA8 product=0804 version=1.02 serial="VT-000123" path=\\?\hid#vid_0ca8&...
//   transfer set F0 0 F04552465700...
//   transfer get F0 0 F000000001...
//   transfer get F0 1167 -
//
// A transfer names its direction, the report id, the result (0, or the Win32 error it failed
// with) and the whole report as sent or as received, report id byte first, in hexadecimal; a read
// that failed has no bytes ("-").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace runlog {

// A log line: the milliseconds since the log started, and the event. False for a line that is not
// of that form.
bool SplitLine(const std::string& line, std::uint32_t* ms, std::string* event);

struct TransferRecord {
    bool set = false;
    std::uint8_t reportId = 0;
    std::uint32_t result = 0;
    std::vector<std::uint8_t> bytes;  // empty for a read that failed

    bool operator==(const TransferRecord&) const = default;
};

std::string FormatTransfer(const TransferRecord& transfer);
// False when the event is not a transfer, or not a whole one.
bool ParseTransfer(const std::string& event, TransferRecord* transfer);
// What a person reads of a transfer: its direction and report id, a command's four characters or
// a status word where the report holds one, and the result.
std::string DescribeTransfer(const TransferRecord& transfer);

struct MixerIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;  // the USB device release number, binary-coded decimal
    std::string serial;               // as the device gives it, empty when it gives none
    std::string path;

    bool operator==(const MixerIdentity&) const = default;
};

std::string FormatFound(const MixerIdentity& mixer);
bool ParseFound(const std::string& event, MixerIdentity* mixer);

// The firmware version as the mixer's maker writes it, from the USB version number: 0x0214 is
// "2.14". A number that is not decimal in every digit is shown as it is, "0x1A00".
std::string FirmwareVersionText(unsigned bcdDevice);

// "%0*X" of a value of `digits` hexadecimal digits.
std::string Hex(std::uint32_t value, int digits);

}  // namespace runlog
