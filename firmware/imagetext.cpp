#include "firmware/imagetext.h"

#include <chrono>
#include <cstdio>

namespace {

std::string Escaped(unsigned char c) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
        return std::string(1, static_cast<char>(c));
    }
    if (c == '"' || c == '\\') {
        return std::string{'\\', static_cast<char>(c)};
    }
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
    return buffer;
}

}  // namespace

std::string FormatUtcTime(DWORD seconds) {
    using namespace std::chrono;
    const sys_days date{std::chrono::days(seconds / 86400)};
    const year_month_day ymd{date};
    const DWORD timeOfDay = seconds % 86400;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02u:%02u:%02uZ",
                  static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()), static_cast<unsigned>(timeOfDay / 3600),
                  static_cast<unsigned>(timeOfDay / 60 % 60),
                  static_cast<unsigned>(timeOfDay % 60));
    return buffer;
}

std::string FormatWord(DWORD value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%08X (%u)", static_cast<unsigned>(value),
                  static_cast<unsigned>(value));
    return buffer;
}

std::string FormatTag(DWORD entryWord) {
    std::string tag;
    for (int shift = 24; shift >= 8; shift -= 8) {
        const unsigned char c = static_cast<unsigned char>(entryWord >> shift);
        tag += (c == '"' || c == '\\') ? std::string(1, static_cast<char>(c)) : Escaped(c);
    }
    return tag;
}

std::string QuoteText(const char* text, std::size_t length) {
    std::string quoted = "\"";
    for (std::size_t i = 0; i < length; ++i) {
        quoted += Escaped(static_cast<unsigned char>(text[i]));
    }
    return quoted + "\"";
}
