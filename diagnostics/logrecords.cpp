#include "diagnostics/logrecords.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace runlog {

namespace {

bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>* bytes) {
    if (text.empty() || text.size() % 2 != 0) {
        return false;
    }
    bytes->clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const std::string pair = text.substr(i, 2);
        char* end = nullptr;
        const unsigned long value = std::strtoul(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2 || pair[0] == '-' || pair[0] == '+' || pair[0] == ' ') {
            return false;
        }
        bytes->push_back(static_cast<std::uint8_t>(value));
    }
    return true;
}

// A whole unsigned number of the base, nothing before or after it.
bool ParseNumber(const std::string& text, int base, unsigned long max, unsigned long* value) {
    if (text.empty() || text.size() > 10 || text[0] == '-' || text[0] == '+' || text[0] == ' ') {
        return false;
    }
    // Read wider than the widest field: on Windows an unsigned long has 32 bits, and strtoul would
    // clamp a number beyond them to the largest one, which passes for a value.
    char* end = nullptr;
    const unsigned long long wide = std::strtoull(text.c_str(), &end, base);
    if (*end != '\0' || wide > max) {
        return false;
    }
    *value = static_cast<unsigned long>(wide);
    return true;
}

bool IsPrintable(std::uint8_t c) {
    return c >= 0x20 && c < 0x7F;
}

}  // namespace

std::string Hex(std::uint32_t value, int digits) {
    char text[12];
    std::snprintf(text, sizeof text, "%0*lX", digits, static_cast<unsigned long>(value));
    return text;
}

bool SplitLine(const std::string& line, std::uint32_t* ms, std::string* event) {
    const std::size_t space = line.find(' ');
    unsigned long value = 0;
    if (space == std::string::npos ||
        !ParseNumber(line.substr(0, space), 10, 0xFFFFFFFFUL, &value)) {
        return false;
    }
    *ms = static_cast<std::uint32_t>(value);
    *event = line.substr(space + 1);
    return !event->empty();
}

std::string FormatTransfer(const TransferRecord& transfer) {
    std::string event = std::string("transfer ") + (transfer.set ? "set " : "get ") +
                        Hex(transfer.reportId, 2) + " " + std::to_string(transfer.result) + " ";
    if (transfer.bytes.empty()) {
        return event + "-";
    }
    for (const std::uint8_t byte : transfer.bytes) {
        event += Hex(byte, 2);
    }
    return event;
}

bool ParseTransfer(const std::string& event, TransferRecord* transfer) {
    std::istringstream words(event);
    std::string kind, direction, reportId, result, bytes, extra;
    if (!(words >> kind >> direction >> reportId >> result >> bytes) || (words >> extra) ||
        kind != "transfer" || (direction != "set" && direction != "get")) {
        return false;
    }
    TransferRecord parsed;
    parsed.set = direction == "set";
    unsigned long value = 0;
    if (reportId.size() != 2 || !ParseNumber(reportId, 16, 0xFF, &value)) {
        return false;
    }
    parsed.reportId = static_cast<std::uint8_t>(value);
    if (!ParseNumber(result, 10, 0xFFFFFFFFUL, &value)) {
        return false;
    }
    parsed.result = static_cast<std::uint32_t>(value);
    if (bytes != "-" && !ParseHexBytes(bytes, &parsed.bytes)) {
        return false;
    }
    // A report always begins with its id; a set always has bytes, a failed read never.
    if ((!parsed.bytes.empty() && parsed.bytes[0] != parsed.reportId) ||
        (parsed.set && parsed.bytes.empty()) ||
        (!parsed.set && parsed.result != 0 && !parsed.bytes.empty())) {
        return false;
    }
    *transfer = parsed;
    return true;
}

std::string DescribeTransfer(const TransferRecord& transfer) {
    std::string text = std::string(transfer.set ? "set " : "get ") + Hex(transfer.reportId, 2);
    const std::vector<std::uint8_t>& b = transfer.bytes;
    if (b.size() >= 5) {
        bool command = true;
        for (std::size_t i = 1; i < 5; ++i) {
            command = command && IsPrintable(b[i]) && b[i] >= 'A' && b[i] <= 'Z';
        }
        if (transfer.set && command) {
            text += " \"" + std::string(b.begin() + 1, b.begin() + 5) + "\"";
        } else if (!transfer.set) {
            text += " status " +
                    Hex(static_cast<std::uint32_t>(b[1]) << 24 | b[2] << 16 | b[3] << 8 | b[4], 8);
        } else {
            text += " data " + Hex(b[1], 2) + Hex(b[2], 2) + Hex(b[3], 2) + Hex(b[4], 2) + "...";
        }
    }
    return text + " -> " + std::to_string(transfer.result);
}

std::string FormatFound(const MixerIdentity& mixer) {
    // A device may put anything in its serial: all but plain printable characters are escaped, so
    // the quotes around it are the only ones.
    std::string serial;
    for (const char c : mixer.serial) {
        const auto byte = static_cast<std::uint8_t>(c);
        serial +=
            IsPrintable(byte) && c != '"' && c != '\\' ? std::string(1, c) : "\\x" + Hex(byte, 2);
    }
    return "found vendor=" + Hex(mixer.vendorId, 4) + " product=" + Hex(mixer.productId, 4) +
           " version=" + FirmwareVersionText(mixer.versionNumber) + " serial=\"" + serial +
           "\" path=" + mixer.path;
}

bool ParseFound(const std::string& event, MixerIdentity* mixer) {
    // The serial is quoted and the path runs to the end of the line: either may hold spaces.
    const std::string head = "found vendor=";
    if (event.compare(0, head.size(), head) != 0) {
        return false;
    }
    const std::size_t serialAt = event.find(" serial=\"");
    if (serialAt == std::string::npos) {
        return false;
    }
    const std::size_t pathAt = event.find("\" path=", serialAt + 9);
    if (pathAt == std::string::npos) {
        return false;
    }
    std::istringstream words(event.substr(head.size(), serialAt - head.size()));
    std::string vendor, product, version;
    if (!(words >> vendor >> product >> version) || product.compare(0, 8, "product=") != 0 ||
        version.compare(0, 8, "version=") != 0) {
        return false;
    }
    MixerIdentity parsed;
    unsigned long value = 0;
    if (vendor.size() != 4 || !ParseNumber(vendor, 16, 0xFFFF, &value)) {
        return false;
    }
    parsed.vendorId = static_cast<std::uint16_t>(value);
    product = product.substr(8);
    if (product.size() != 4 || !ParseNumber(product, 16, 0xFFFF, &value)) {
        return false;
    }
    parsed.productId = static_cast<std::uint16_t>(value);
    version = version.substr(8);
    // Back from the maker's form: "2.14" is 0x0214, "0x1A00" as written.
    if (version.compare(0, 2, "0x") == 0) {
        if (!ParseNumber(version.substr(2), 16, 0xFFFF, &value)) {
            return false;
        }
    } else {
        const std::size_t dot = version.find('.');
        unsigned long major = 0;
        unsigned long minor = 0;
        if (dot == std::string::npos || version.size() != dot + 3 ||
            !ParseNumber(version.substr(0, dot), 10, 99, &major) ||
            !ParseNumber(version.substr(dot + 1), 10, 99, &minor)) {
            return false;
        }
        value = (major / 10) << 12 | (major % 10) << 8 | (minor / 10) << 4 | (minor % 10);
    }
    parsed.versionNumber = static_cast<std::uint16_t>(value);
    const std::string serial = event.substr(serialAt + 9, pathAt - serialAt - 9);
    for (std::size_t i = 0; i < serial.size(); ++i) {
        if (serial[i] != '\\') {
            parsed.serial += serial[i];
            continue;
        }
        if (i + 4 > serial.size() || serial.compare(i, 2, "\\x") != 0 ||
            !ParseNumber(serial.substr(i + 2, 2), 16, 0xFF, &value)) {
            return false;
        }
        parsed.serial += static_cast<char>(value);
        i += 3;
    }
    parsed.path = event.substr(pathAt + 7);
    *mixer = parsed;
    return true;
}

std::string FirmwareVersionText(unsigned bcdDevice) {
    for (unsigned shift = 0; shift < 16; shift += 4) {
        if (((bcdDevice >> shift) & 0xF) > 9) {
            return "0x" + Hex(bcdDevice, 4);
        }
    }
    const unsigned major = (bcdDevice >> 12) * 10 + ((bcdDevice >> 8) & 0xF);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u%u", major, (bcdDevice >> 4) & 0xF, bcdDevice & 0xF);
    return text;
}

}  // namespace runlog
