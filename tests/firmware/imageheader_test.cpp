#include "firmware/imageheader.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "tests/firmware/testimages.h"

namespace {

// A record full of non-zero bytes shows which fields the parser wrote or cleared.
ImageHeaderInfo DirtyInfo() {
    ImageHeaderInfo info;
    std::memset(&info, 0xA5, sizeof info);
    return info;
}

ImageHeaderInfo ZeroInfo() {
    ImageHeaderInfo info;
    std::memset(&info, 0, sizeof info);
    return info;
}

// Every field, but not the record's tail padding, which copies need not keep.
bool SameRecord(const ImageHeaderInfo& a, const ImageHeaderInfo& b) {
    return std::memcmp(&a, &b, offsetof(ImageHeaderInfo, hsg) + sizeof a.hsg) == 0;
}

HeaderCheck Check(const std::vector<BYTE>& image, ImageHeaderInfo* info) {
    return CheckImageHeader(image.data(), static_cast<DWORD>(image.size()), info);
}

}  // namespace

TEST(ImageHeader, ParsesAHandWrittenHeader) {
    // "QorH", H = 24, dpi = 0x000C0002, cod, header CRC; written out so the format is pinned down
    // independently of the code that writes images.
    const std::vector<BYTE> image = {0x51, 0x6F, 0x72, 0x48, 0x00, 0x00, 0x00, 0x18,
                                     0x64, 0x70, 0x69, 0x04, 0x00, 0x0C, 0x00, 0x02,
                                     0x63, 0x6F, 0x64, 0x00, 0x7D, 0xF0, 0x3F, 0x69};
    ImageHeaderInfo info = DirtyInfo();
    ASSERT_TRUE(ParseImageHeader(image.data(), static_cast<DWORD>(image.size()), &info));
    ImageHeaderInfo expected = ZeroInfo();
    expected.headerLength = 24;
    expected.dpi = 0x000C0002;
    expected.hasDpi = 1;
    expected.hasCod = 1;
    EXPECT_TRUE(SameRecord(info, expected)) << "every other field must be cleared";
}

TEST(ImageHeader, FillsTheRecordFromEveryKnownEntry) {
    const DWORD hsg[4] = {0x00112233, 0x44556677, 0x8899AABB, 0xCCDDEEFF};
    const std::vector<BYTE> image = ImageFromWords({EntryWord("crc", 4),
                                                    0xDEADBEEF,
                                                    EntryWord("len", 4),
                                                    1,
                                                    EntryWord("dpi", 4),
                                                    2,
                                                    EntryWord("sub", 4),
                                                    3,
                                                    EntryWord("tim", 4),
                                                    4,
                                                    EntryWord("uvp", 4),
                                                    5,
                                                    EntryWord("ver", 4),
                                                    6,
                                                    EntryWord("hsg", 16),
                                                    hsg[0],
                                                    hsg[1],
                                                    hsg[2],
                                                    hsg[3],
                                                    EntryWord("str", 8),
                                                    0x56616E74,
                                                    0x6F720000,
                                                    EntryWord("cod", 0),
                                                    EntryWord("lgc", 0),
                                                    EntryWord("gcd", 0),
                                                    EntryWord("dnt", 0),
                                                    EntryWord("dcd", 0),
                                                    EntryWord("dc3", 0),
                                                    EntryWord("mxd", 0),
                                                    EntryWord("sdb", 0),
                                                    EntryWord("ucd", 0),
                                                    EntryWord("arl", 0),
                                                    EntryWord("rle", 0),
                                                    EntryWord("rlz", 0)},
                                                   PatternPayload(9));
    ImageHeaderInfo info = DirtyInfo();
    ASSERT_EQ(Check(image, &info).fault, HeaderFault::None);

    EXPECT_EQ(info.headerLength, image.size() - 9);
    EXPECT_EQ(info.crc, 0xDEADBEEFu);
    const DWORD values[] = {info.len, info.dpi, info.sub, info.tim, info.uvp, info.ver};
    for (DWORD i = 0; i < 6; ++i) {
        EXPECT_EQ(values[i], i + 1);
    }
    const BYTE flags[] = {
        info.hasCrc, info.hasLen, info.hasDnt, info.hasDcd, info.hasDc3, info.hasGcd, info.hasLgc,
        info.hasMxd, info.hasCod, info.hasSdb, info.hasHsg, info.hasDpi, info.hasStr, info.hasSub,
        info.hasTim, info.hasUvp, info.hasUcd, info.hasArl, info.hasRle, info.hasRlz, info.hasVer};
    for (BYTE flag : flags) {
        EXPECT_EQ(flag, 1);
    }
    EXPECT_EQ(info.hasUnrecognised, 0);
    EXPECT_STREQ(info.str, "Vantor");
    const BYTE expectedHsg[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                  0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(std::memcmp(info.hsg, expectedHsg, 16), 0) << "hsg keeps its stored byte order";
}

TEST(ImageHeader, TreatsAKnownTagWithAnotherLengthAsUnrecognised) {
    const std::vector<BYTE> image =
        ImageFromWords({EntryWord("cod", 4), 0, EntryWord("dpi", 8), 1, 2, EntryWord("hsg", 4), 3,
                        EntryWord("zzz", 0), EntryWord("abc", 4), 4});
    ImageHeaderInfo info = DirtyInfo();
    ASSERT_EQ(Check(image, &info).fault, HeaderFault::None);
    EXPECT_EQ(info.hasUnrecognised, 1);
    EXPECT_EQ(info.hasCod, 0);
    EXPECT_EQ(info.hasDpi, 0);
    EXPECT_EQ(info.dpi, 0u);
    EXPECT_EQ(info.hasHsg, 0);
}

TEST(ImageHeader, LetsALaterEntryOverwriteAnEarlierOne) {
    const std::vector<BYTE> image =
        ImageFromWords({EntryWord("dpi", 4), 1, EntryWord("crc", 4), 5, EntryWord("dpi", 4), 2});
    ImageHeaderInfo info;
    ASSERT_TRUE(ParseImageHeader(image.data(), static_cast<DWORD>(image.size()), &info));
    EXPECT_EQ(info.dpi, 2u);
    EXPECT_EQ(info.crc, 5u);
}

TEST(ImageHeader, KeepsTheLongestTextNulTerminated) {
    const std::string text(252, 'V');
    std::vector<BYTE> image = ImageFromWords({EntryWord("str", 252)});
    image.insert(image.begin() + 12, text.begin(), text.end());
    PutWord(&image, 4, static_cast<DWORD>(image.size()));
    ResealHeader(&image);
    ImageHeaderInfo info = DirtyInfo();
    ASSERT_TRUE(ParseImageHeader(image.data(), static_cast<DWORD>(image.size()), &info));
    EXPECT_EQ(std::string(info.str), text);
}

TEST(ImageHeader, AcceptsTheSmallestHeaderOfOneEntryWord) {
    const std::vector<BYTE> image = ImageFromWords({EntryWord("lgc", 0)});
    ASSERT_EQ(image.size(), 16u);
    ImageHeaderInfo info;
    ASSERT_TRUE(ParseImageHeader(image.data(), 16, &info));
    EXPECT_EQ(info.hasLgc, 1);
}

TEST(ImageHeader, ReadsImagesAtAnyAlignment) {
    const std::vector<BYTE> image = LogicImage(64);
    for (std::size_t shift = 1; shift < 4; ++shift) {
        std::vector<BYTE> shifted(shift, 0);
        shifted.insert(shifted.end(), image.begin(), image.end());
        ImageHeaderInfo info;
        EXPECT_TRUE(
            ParseImageHeader(shifted.data() + shift, static_cast<DWORD>(image.size()), &info));
        EXPECT_EQ(info.sub, 7u);
    }
}

TEST(ImageHeader, RefusesHeadersThatFailBeforeTheEntryWalkAndLeavesTheRecordUntouched) {
    const std::vector<BYTE> good = CodeImage(16);
    const auto withWord = [&](std::size_t offset, DWORD value) {
        std::vector<BYTE> image = good;
        PutWord(&image, offset, value);
        return image;
    };
    std::vector<BYTE> crcMismatch = good;
    crcMismatch[20] ^= 0x01;
    const struct {
        const char* name;
        std::vector<BYTE> image;
        DWORD size;
        HeaderFault fault;
    } cases[] = {
        {"shorter than 8 bytes", good, 7, HeaderFault::Missing},
        {"wrong magic", withWord(0, 0x516F7268), 0, HeaderFault::Magic},
        {"H of 12", withWord(4, 12), 0, HeaderFault::Length},
        {"H of 0", withWord(4, 0), 0, HeaderFault::Length},
        {"H not a multiple of 4", withWord(4, 74), 0, HeaderFault::Length},
        {"H beyond the image", withWord(4, static_cast<DWORD>(good.size() + 4)), 0,
         HeaderFault::Length},
        {"H far beyond the image", withWord(4, 0xFFFFFFFC), 0, HeaderFault::Length},
        {"header CRC mismatch", crcMismatch, 0, HeaderFault::HeaderCrc},
        {"header CRC field changed", withWord(68, 0), 0, HeaderFault::HeaderCrc},
    };
    for (const auto& c : cases) {
        ImageHeaderInfo info = DirtyInfo();
        const DWORD size = c.size != 0 ? c.size : static_cast<DWORD>(c.image.size());
        EXPECT_EQ(CheckImageHeader(c.image.data(), size, &info).fault, c.fault) << c.name;
        EXPECT_FALSE(ParseImageHeader(c.image.data(), size, &info)) << c.name;
        EXPECT_TRUE(SameRecord(info, DirtyInfo())) << c.name;
    }
    ImageHeaderInfo info;
    EXPECT_EQ(CheckImageHeader(nullptr, 100, &info).fault, HeaderFault::Missing);
    EXPECT_EQ(CheckImageHeader(good.data(), static_cast<DWORD>(good.size()), nullptr).fault,
              HeaderFault::Missing);
}

TEST(ImageHeader, RefusesEntriesThatDoNotFitAndKeepsWhatWasParsedBefore) {
    const struct {
        const char* name;
        std::vector<BYTE> image;
    } cases[] = {
        {"str of length 0", ImageFromWords({EntryWord("dpi", 4), 9, EntryWord("str", 0)})},
        {"str length not a multiple of 4",
         ImageFromWords({EntryWord("dpi", 4), 9, EntryWord("str", 6), 0, 0})},
        {"str longer than the rest",
         ImageFromWords({EntryWord("dpi", 4), 9, EntryWord("str", 12), 0, 0})},
        {"unknown word with length not a multiple of 4",
         ImageFromWords({EntryWord("dpi", 4), 9, EntryWord("xyz", 3), 0})},
        {"unknown word longer than the rest",
         ImageFromWords({EntryWord("dpi", 4), 9, EntryWord("xyz", 8), 0})},
        {"4-byte value past the entries",
         ImageFromWords({EntryWord("dpi", 4), 9, EntryWord("crc", 4)})},
        {"hsg past the entries",
         ImageFromWords({EntryWord("dpi", 4), 9, EntryWord("hsg", 16), 0, 0, 0})},
    };
    for (const auto& c : cases) {
        ImageHeaderInfo info = DirtyInfo();
        const HeaderCheck check = Check(c.image, &info);
        EXPECT_EQ(check.fault, HeaderFault::Entry) << c.name;
        EXPECT_EQ(check.entryOffset, 16u) << c.name;

        ImageHeaderInfo expected = ZeroInfo();
        expected.headerLength = static_cast<DWORD>(c.image.size());
        expected.dpi = 9;
        expected.hasDpi = 1;
        EXPECT_TRUE(SameRecord(info, expected)) << c.name;
    }
    // H = 16 leaves room for the word of a 4-byte entry but not for its value.
    const std::vector<BYTE> lone = ImageFromWords({EntryWord("dpi", 4)});
    ImageHeaderInfo info;
    EXPECT_EQ(Check(lone, &info).fault, HeaderFault::Entry);
}
