#include "tools/fwimage/textvalues.h"

#include <chrono>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool ParseFixedDigits(std::string_view text, std::size_t at, std::size_t count, unsigned* value) {
    unsigned result = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        result = result * 10 + static_cast<unsigned>(text[i] - '0');
    }
    *value = result;
    return true;
}

}  // namespace

bool ParseUnsigned(std::string_view text, std::uint64_t max, std::uint64_t* value) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return false;
    }
    std::uint64_t result = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) {
            return false;
        }
        if (result > (max - static_cast<unsigned>(digit)) / base) {
            return false;
        }
        result = result * base + static_cast<unsigned>(digit);
    }
    *value = result;
    return true;
}

bool IsValidTag(std::string_view tag) {
    if (tag.size() != 3) {
        return false;
    }
    for (char c : tag) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

bool ParseHexBytes(std::string_view text, std::vector<BYTE>* bytes) {
    if (text.size() % 2 != 0) {
        return false;
    }
    std::vector<BYTE> result;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        result.push_back(static_cast<BYTE>(high * 16 + low));
    }
    *bytes = std::move(result);
    return true;
}

bool ParseUtcTime(std::string_view text, DWORD* seconds) {
    // YYYY-MM-DDTHH:MM:SSZ
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z') {
        return false;
    }
    unsigned year, month, day, hour, minute, second;
    if (!ParseFixedDigits(text, 0, 4, &year) || !ParseFixedDigits(text, 5, 2, &month) ||
        !ParseFixedDigits(text, 8, 2, &day) || !ParseFixedDigits(text, 11, 2, &hour) ||
        !ParseFixedDigits(text, 14, 2, &minute) || !ParseFixedDigits(text, 17, 2, &second)) {
        return false;
    }
    using namespace std::chrono;
    const year_month_day date{std::chrono::year(static_cast<int>(year)), std::chrono::month(month),
                              std::chrono::day(day)};
    if (!date.ok() || hour > 23 || minute > 59 || second > 59) {
        return false;
    }
    const long long total =
        static_cast<long long>(sys_days(date).time_since_epoch().count()) * 86400 + hour * 3600 +
        minute * 60 + second;
    if (total < 0 || total > 0xFFFFFFFFLL) {
        return false;
    }
    *seconds = static_cast<DWORD>(total);
    return true;
}
