#include "firmware/imageheader.h"

#include <cstring>

#include "firmware/crc32.h"

namespace {

constexpr DWORD EntryWord(const char (&tag)[4], DWORD length) {
    return (static_cast<DWORD>(static_cast<BYTE>(tag[0])) << 24) |
           (static_cast<DWORD>(static_cast<BYTE>(tag[1])) << 16) |
           (static_cast<DWORD>(static_cast<BYTE>(tag[2])) << 8) | length;
}

// str takes any length, so it is matched on its tag alone.
constexpr DWORD STR_TAG = EntryWord("str", 0) >> 8;

struct EntryRule {
    DWORD word;
    EntryKind kind;
    BYTE ImageHeaderInfo::*flag;
    DWORD ImageHeaderInfo::*value;  // Value entries only
};

constexpr EntryRule ENTRY_RULES[] = {
    {EntryWord("cod", 0), EntryKind::Flag, &ImageHeaderInfo::hasCod, nullptr},
    {EntryWord("lgc", 0), EntryKind::Flag, &ImageHeaderInfo::hasLgc, nullptr},
    {EntryWord("gcd", 0), EntryKind::Flag, &ImageHeaderInfo::hasGcd, nullptr},
    {EntryWord("dnt", 0), EntryKind::Flag, &ImageHeaderInfo::hasDnt, nullptr},
    {EntryWord("dcd", 0), EntryKind::Flag, &ImageHeaderInfo::hasDcd, nullptr},
    {EntryWord("dc3", 0), EntryKind::Flag, &ImageHeaderInfo::hasDc3, nullptr},
    {EntryWord("mxd", 0), EntryKind::Flag, &ImageHeaderInfo::hasMxd, nullptr},
    {EntryWord("sdb", 0), EntryKind::Flag, &ImageHeaderInfo::hasSdb, nullptr},
    {EntryWord("ucd", 0), EntryKind::Flag, &ImageHeaderInfo::hasUcd, nullptr},
    {EntryWord("arl", 0), EntryKind::Flag, &ImageHeaderInfo::hasArl, nullptr},
    {EntryWord("rle", 0), EntryKind::Flag, &ImageHeaderInfo::hasRle, nullptr},
    {EntryWord("rlz", 0), EntryKind::Flag, &ImageHeaderInfo::hasRlz, nullptr},
    {EntryWord("crc", 4), EntryKind::Value, &ImageHeaderInfo::hasCrc, &ImageHeaderInfo::crc},
    {EntryWord("len", 4), EntryKind::Value, &ImageHeaderInfo::hasLen, &ImageHeaderInfo::len},
    {EntryWord("dpi", 4), EntryKind::Value, &ImageHeaderInfo::hasDpi, &ImageHeaderInfo::dpi},
    {EntryWord("sub", 4), EntryKind::Value, &ImageHeaderInfo::hasSub, &ImageHeaderInfo::sub},
    {EntryWord("tim", 4), EntryKind::Value, &ImageHeaderInfo::hasTim, &ImageHeaderInfo::tim},
    {EntryWord("uvp", 4), EntryKind::Value, &ImageHeaderInfo::hasUvp, &ImageHeaderInfo::uvp},
    {EntryWord("ver", 4), EntryKind::Value, &ImageHeaderInfo::hasVer, &ImageHeaderInfo::ver},
    {EntryWord("hsg", 16), EntryKind::Bytes16, &ImageHeaderInfo::hasHsg, nullptr},
};

const EntryRule* FindEntryRule(DWORD entryWord) {
    for (const EntryRule& rule : ENTRY_RULES) {
        if (rule.word == entryWord) {
            return &rule;
        }
    }
    return nullptr;
}

EntryKind KindOf(const EntryRule* rule, DWORD entryWord) {
    if (rule != nullptr) {
        return rule->kind;
    }
    return (entryWord >> 8) == STR_TAG ? EntryKind::Text : EntryKind::Unrecognised;
}

}  // namespace

DWORD ReadBigEndian32(const BYTE* bytes) {
    DWORD value;
    std::memcpy(&value, bytes, sizeof value);
    return ntohl(value);
}

EntryKind ClassifyEntry(DWORD entryWord) {
    return KindOf(FindEntryRule(entryWord), entryWord);
}

HeaderCheck CheckImageHeader(const BYTE* image, DWORD size, ImageHeaderInfo* info) {
    if (image == nullptr || info == nullptr || size < IMAGE_HEADER_MIN_SIZE) {
        return {HeaderFault::Missing, 0};
    }
    if (ReadBigEndian32(image) != IMAGE_MAGIC) {
        return {HeaderFault::Magic, 0};
    }
    const DWORD headerLength = ReadBigEndian32(image + 4);
    if (headerLength % 4 != 0 || headerLength <= 12 || headerLength > size) {
        return {HeaderFault::Length, 0};
    }
    const DWORD storedCrc = ReadBigEndian32(image + headerLength - 4);
    if (storedCrc != Crc32(0xFFFFFFFF, image, headerLength - 4)) {
        return {HeaderFault::HeaderCrc, 0};
    }

    std::memset(info, 0, sizeof *info);
    info->headerLength = headerLength;

    DWORD offset = 8;
    DWORD remaining = headerLength - 12;
    while (remaining >= 4) {
        const DWORD entryOffset = offset;
        const DWORD entryWord = ReadBigEndian32(image + offset);
        const DWORD length = entryWord & 0xFF;
        offset += 4;
        remaining -= 4;

        const EntryRule* rule = FindEntryRule(entryWord);
        DWORD consumed = 0;
        switch (KindOf(rule, entryWord)) {
            case EntryKind::Flag:
                info->*rule->flag = 1;
                break;
            case EntryKind::Value:
                if (remaining < 4) {
                    return {HeaderFault::Entry, entryOffset};
                }
                info->*rule->flag = 1;
                info->*rule->value = ReadBigEndian32(image + offset);
                consumed = 4;
                break;
            case EntryKind::Bytes16:
                if (remaining < sizeof info->hsg) {
                    return {HeaderFault::Entry, entryOffset};
                }
                info->hasHsg = 1;
                std::memcpy(info->hsg, image + offset, sizeof info->hsg);
                consumed = sizeof info->hsg;
                break;
            case EntryKind::Text:
                if (length % 4 != 0 || length == 0 || length > remaining) {
                    return {HeaderFault::Entry, entryOffset};
                }
                info->hasStr = 1;
                std::memcpy(info->str, image + offset, length);
                consumed = length;
                break;
            case EntryKind::Unrecognised:
                if (length % 4 != 0 || length > remaining) {
                    return {HeaderFault::Entry, entryOffset};
                }
                info->hasUnrecognised = 1;
                consumed = length;
                break;
        }
        offset += consumed;
        remaining -= consumed;
    }
    return {HeaderFault::None, 0};
}

bool ParseImageHeader(const BYTE* image, DWORD size, ImageHeaderInfo* info) {
    return CheckImageHeader(image, size, info).fault == HeaderFault::None;
}

const char* DescribeHeaderFault(HeaderFault fault) {
    switch (fault) {
        case HeaderFault::None:
            return "header valid";
        case HeaderFault::Missing:
            return "image shorter than 8 bytes";
        case HeaderFault::Magic:
            return "magic is not \"QorH\"";
        case HeaderFault::Length:
            return "header length is not a multiple of 4 above 12 within the image";
        case HeaderFault::HeaderCrc:
            return "header CRC does not match";
        case HeaderFault::Entry:
            return "entry has an invalid length or runs past the header";
    }
    return "unknown header fault";
}
