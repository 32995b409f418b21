// Parsing of the values on fwimage's command line; firmware/imagetext.h writes them in reports.
// Parsers return false on anything malformed or out of range; they never throw.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32api.h"

// Decimal, or hexadecimal after "0x"/"0X"; no sign, no spaces, at most max.
bool ParseUnsigned(std::string_view text, std::uint64_t max, std::uint64_t* value);

// Three lower-case ASCII letters or digits.
bool IsValidTag(std::string_view tag);

// Pairs of hex digits, e.g. "00ff10"; an empty text gives no bytes.
bool ParseHexBytes(std::string_view text, std::vector<BYTE>* bytes);

// "YYYY-MM-DDTHH:MM:SSZ" to seconds since 1970-01-01 00:00 UTC; the result must fit 32 bits.
bool ParseUtcTime(std::string_view text, DWORD* seconds);
