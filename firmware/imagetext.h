// How a report writes an image's header values, so that fwimage's report and the programs' list of
// the images they carry read alike.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32api.h"

// Seconds since 1970-01-01 00:00 UTC as "YYYY-MM-DDTHH:MM:SSZ".
std::string FormatUtcTime(DWORD seconds);

// "0x0CA80801 (212338689)".
std::string FormatWord(DWORD value);

// The first three bytes of an entry word's tag as text; non-printable bytes as \xNN.
std::string FormatTag(DWORD entryWord);

// Printable ASCII as it is, everything else as \xNN, inside double quotes.
std::string QuoteText(const char* text, std::size_t length);
