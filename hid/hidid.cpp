#include "hid/hidid.h"

#include <cstdio>
#include <cstdlib>

namespace hid {

std::string HidId(WORD vendorId, WORD productId) {
    char text[32];
    std::snprintf(text, sizeof text, "%04X:%08X:%08X", kBusUsb, unsigned{vendorId},
                  unsigned{productId});
    return text;
}

bool ParseHex(const std::string& text, unsigned long limit, unsigned long* value) {
    if (text.empty() || text.size() > 8 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    const unsigned long parsed = std::strtoul(text.c_str(), nullptr, 16);
    if (parsed > limit) {
        return false;
    }
    *value = parsed;
    return true;
}

bool ParseHidId(const std::string& text, WORD* vendorId, WORD* productId) {
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) {
        return false;
    }
    unsigned long bus = 0;
    unsigned long vendor = 0;
    unsigned long product = 0;
    if (!ParseHex(text.substr(0, first), 0xFFFF, &bus) ||
        !ParseHex(text.substr(first + 1, second - first - 1), 0xFFFF, &vendor) ||
        !ParseHex(text.substr(second + 1), 0xFFFF, &product)) {
        return false;
    }
    *vendorId = static_cast<WORD>(vendor);
    *productId = static_cast<WORD>(product);
    return true;
}

}  // namespace hid
