#include "platform/portable/interfacepath.h"

#include <cctype>
#include <cstdio>

namespace portable {

std::string UsbIds(WORD vendorId, WORD productId) {
    char text[24];
    std::snprintf(text, sizeof text, "VID_%04X&PID_%04X", vendorId, productId);
    return text;
}

std::string InterfacePath(const std::string& instanceId, const GUID& interfaceClass) {
    std::string path = "\\\\?\\";
    for (const char c : instanceId) {
        path.push_back(c == '\\' ? '#'
                                 : static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    const GUID& g = interfaceClass;
    char text[48];
    std::snprintf(text, sizeof text, "#{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return path + text;
}

}  // namespace portable
