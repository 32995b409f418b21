// The header of a firmware image: magic "QorH", header length H, tagged entries, header CRC.
// Integers are big-endian; the payload after the header is opaque.
#pragma once

#include "platform/win32api.h"

constexpr DWORD IMAGE_MAGIC = 0x516F7248;   // "QorH" read as one big-endian word
constexpr DWORD IMAGE_HEADER_MIN_SIZE = 8;  // magic and header length

// What the parser learned from a header. One record serves both images of an update, so the parser
// clears it before the entry walk; a header CRC mismatch leaves it untouched.
struct ImageHeaderInfo {
    DWORD headerLength;

    // Host-order values, 0 unless the entry was present.
    DWORD crc;
    DWORD len;
    DWORD dpi;
    DWORD sub;
    DWORD tim;
    DWORD uvp;
    DWORD ver;

    // Presence flags, 0 or 1.
    BYTE hasCrc;
    BYTE hasLen;
    BYTE hasDnt;
    BYTE hasDcd;
    BYTE hasDc3;
    BYTE hasGcd;
    BYTE hasLgc;
    BYTE hasMxd;
    BYTE hasCod;
    BYTE hasSdb;
    BYTE hasHsg;
    BYTE hasDpi;
    BYTE hasStr;
    BYTE hasSub;
    BYTE hasTim;
    BYTE hasUnrecognised;
    BYTE hasUvp;
    BYTE hasUcd;
    BYTE hasArl;
    BYTE hasRle;
    BYTE hasRlz;
    BYTE hasVer;

    char str[256];  // at most 252 bytes are stored, so the text is always NUL-terminated
    BYTE hsg[16];   // as stored
};

// Why a header was refused, for tools that need to name the failing check.
enum class HeaderFault {
    None,       // valid
    Missing,    // no image, no record, or fewer than 8 bytes
    Magic,      // not "QorH"
    Length,     // H not a multiple of 4, not above 12, or beyond the image
    HeaderCrc,  // stored header CRC differs from the computed one
    Entry,      // an entry's length is impossible or its value runs past the entries
};

struct HeaderCheck {
    HeaderFault fault;
    DWORD entryOffset;  // offset of the offending entry word when fault is Entry, else 0
};

// Fills info and returns true when the header of the size-byte image is valid. Never reads the
// payload.
bool ParseImageHeader(const BYTE* image, DWORD size, ImageHeaderInfo* info);

// ParseImageHeader with the reason for a refusal.
HeaderCheck CheckImageHeader(const BYTE* image, DWORD size, ImageHeaderInfo* info);

const char* DescribeHeaderFault(HeaderFault fault);

// How the parser reads an entry word (tag in the upper three bytes, value length in the lowest).
// A word is recognised only as a whole: a known tag with another length is Unrecognised.
enum class EntryKind {
    Flag,          // L = 0, sets a presence flag
    Value,         // L = 4, a big-endian 32-bit value
    Bytes16,       // hsg, L = 16, kept as stored
    Text,          // str, any L (valid only for a nonzero multiple of 4)
    Unrecognised,  // skipped; L must be a multiple of 4
};

EntryKind ClassifyEntry(DWORD entryWord);

// Reads a big-endian 32-bit word that may sit at any alignment.
DWORD ReadBigEndian32(const BYTE* bytes);
