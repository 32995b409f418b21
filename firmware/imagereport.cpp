#include "firmware/imagereport.h"

#include <cstdio>

#include "firmware/crc32.h"
#include "firmware/imageheader.h"
#include "firmware/imagetext.h"

namespace {

std::string Hex32(DWORD value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(value));
    return buffer;
}

std::string HexBytes(const BYTE* bytes, DWORD count) {
    std::string text;
    char buffer[4];
    for (DWORD i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof buffer, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += buffer;
    }
    return text;
}

std::string Matches(DWORD stored, DWORD computed) {
    return stored == computed ? "matches" : "DOES NOT MATCH";
}

std::string Column(DWORD offset) {
    std::string text = std::to_string(offset);
    return "  " + std::string(text.size() < 6 ? 6 - text.size() : 0, ' ') + text + "  ";
}

// The entry's value length as the parser consumes it; the word's own L for str and unknown words.
DWORD ValueLength(DWORD entryWord) {
    switch (ClassifyEntry(entryWord)) {
        case EntryKind::Flag:
            return 0;
        case EntryKind::Value:
            return 4;
        case EntryKind::Bytes16:
            return 16;
        case EntryKind::Text:
        case EntryKind::Unrecognised:
            break;
    }
    return entryWord & 0xFF;
}

// Why the parser would stop at this entry, or an empty text when it would not.
std::string EntryFault(DWORD entryWord, DWORD remaining) {
    const DWORD length = entryWord & 0xFF;
    const EntryKind kind = ClassifyEntry(entryWord);
    if (kind == EntryKind::Text && (length == 0 || length % 4 != 0)) {
        return "str length " + std::to_string(length) + " is not a nonzero multiple of 4";
    }
    if (kind == EntryKind::Unrecognised && length % 4 != 0) {
        return "length " + std::to_string(length) + " is not a multiple of 4";
    }
    if (ValueLength(entryWord) > remaining) {
        return "its " + std::to_string(ValueLength(entryWord)) + "-byte value runs past the " +
               std::to_string(remaining) + " bytes left in the header";
    }
    return "";
}

std::string DescribeEntry(DWORD entryWord, const BYTE* value) {
    const std::string tag = FormatTag(entryWord);
    const DWORD length = entryWord & 0xFF;
    switch (ClassifyEntry(entryWord)) {
        case EntryKind::Flag:
            return tag + "  flag";
        case EntryKind::Value: {
            const DWORD number = ReadBigEndian32(value);
            return tag + "  " + FormatWord(number) +
                   (tag == "tim" ? "  " + FormatUtcTime(number) : "");
        }
        case EntryKind::Bytes16:
            return tag + "  " + HexBytes(value, 16);
        case EntryKind::Text: {
            const char* text = reinterpret_cast<const char*>(value);
            DWORD textLength = 0;
            while (textLength < length && text[textLength] != '\0') {
                ++textLength;
            }
            return tag + "  " + std::to_string(length) + " bytes  " + QuoteText(text, textLength);
        }
        case EntryKind::Unrecognised:
            break;
    }
    return tag + "/" + std::to_string(length) + "  unrecognised, " + std::to_string(length) +
           " bytes skipped";
}

// Lists the entries of a header whose length is sane, stopping where the parser would.
void WriteEntries(const BYTE* image, DWORD headerLength, std::string* report) {
    *report += "entries (offset, tag, value):\n";
    DWORD offset = 8;
    DWORD remaining = headerLength - 12;
    while (remaining >= 4) {
        const DWORD entryWord = ReadBigEndian32(image + offset);
        const std::string fault = EntryFault(entryWord, remaining - 4);
        if (!fault.empty()) {
            *report += Column(offset) + FormatTag(entryWord) + "/" +
                       std::to_string(entryWord & 0xFF) + "  invalid: " + fault + "\n";
            return;
        }
        *report += Column(offset) + DescribeEntry(entryWord, image + offset + 4) + "\n";
        offset += 4 + ValueLength(entryWord);
        remaining -= 4 + ValueLength(entryWord);
    }
}

std::string LengthFault(DWORD headerLength, DWORD size) {
    const std::string prefix = "header invalid: header length " + std::to_string(headerLength);
    if (headerLength % 4 != 0) {
        return prefix + " is not a multiple of 4";
    }
    if (headerLength <= 12) {
        return prefix + " is not above 12";
    }
    return prefix + " is beyond the image size " + std::to_string(size);
}

}  // namespace

bool WriteImageReport(const BYTE* image, DWORD size, std::string* report) {
    *report += "image size: " + std::to_string(size) + " bytes\n";

    ImageHeaderInfo info;
    const HeaderCheck check = CheckImageHeader(image, size, &info);
    if (check.fault == HeaderFault::Missing || check.fault == HeaderFault::Magic) {
        *report += std::string("header invalid: ") + DescribeHeaderFault(check.fault) + "\n";
        return false;
    }
    const DWORD headerLength = ReadBigEndian32(image + 4);
    if (check.fault == HeaderFault::Length) {
        *report += LengthFault(headerLength, size) + "\n";
        return false;
    }
    *report += "header length: " + std::to_string(headerLength) + "\n";
    WriteEntries(image, headerLength, report);

    const DWORD storedHeaderCrc = ReadBigEndian32(image + headerLength - 4);
    const DWORD headerCrc = Crc32(0xFFFFFFFF, image, headerLength - 4);
    *report += "header CRC: stored " + Hex32(storedHeaderCrc) + ", computed " + Hex32(headerCrc) +
               ": " + Matches(storedHeaderCrc, headerCrc) + "\n";
    if (check.fault != HeaderFault::None) {
        *report += std::string("header invalid: ") + DescribeHeaderFault(check.fault) +
                   (check.fault == HeaderFault::Entry
                        ? " (entry at offset " + std::to_string(check.entryOffset) + ")"
                        : "") +
                   "\n";
        return false;
    }

    const DWORD payloadSize = size - headerLength;
    const DWORD payloadCrc = Crc32(0xFFFFFFFF, image + headerLength, payloadSize);
    const std::string payload = "payload: " + std::to_string(payloadSize) + " bytes, ";
    if (info.hasCrc) {
        *report += payload + "CRC in crc entry " + Hex32(info.crc) + ", computed " +
                   Hex32(payloadCrc) + ": " + Matches(info.crc, payloadCrc) + "\n";
    } else {
        *report += payload + "computed CRC " + Hex32(payloadCrc) + ", no crc entry\n";
    }
    return true;
}

std::string AcceptanceVerdict(const BYTE* image, DWORD size, ImageKind kind, bool requireSub,
                              AcceptanceStep* step) {
    ImageHeaderInfo info;
    *step = CheckImageAcceptance(image, size, kind, requireSub, &info);
    if (*step == AcceptanceStep::Accepted) {
        return "accepted";
    }
    std::string reason = DescribeAcceptanceStep(*step, kind);
    if (*step == AcceptanceStep::HeaderInvalid) {
        reason += std::string(" (") +
                  DescribeHeaderFault(CheckImageHeader(image, size, &info).fault) + ")";
    }
    return "rejected at step " + std::to_string(static_cast<int>(*step)) + ": " + reason;
}
