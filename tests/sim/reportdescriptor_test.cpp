// The report descriptor the virtual mixer declares, read back the way a HID parser reads it: the
// capabilities that Wine's hidclass computes from it must be the mixer's.
#include "sim/virtualmixer/reportdescriptor.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

struct ParsedDescriptor {
    unsigned usagePage = 0;
    unsigned collections = 0;
    unsigned openCollections = 0;
    std::map<unsigned, unsigned> featureBits;  // by report id
};

// A small parser of short items: the global state that feature items use, and their sizes.
ParsedDescriptor Parse(const std::vector<BYTE>& bytes) {
    ParsedDescriptor parsed;
    unsigned reportSize = 0;
    unsigned reportCount = 0;
    unsigned reportId = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const BYTE prefix = bytes[i];
        const unsigned size = (prefix & 3) == 3 ? 4 : prefix & 3;
        unsigned value = 0;
        for (unsigned b = 0; b < size; ++b) {
            value |= unsigned(bytes.at(i + 1 + b)) << (8 * b);
        }
        switch (prefix & 0xFC) {
            case 0x04:
                parsed.usagePage = value;
                break;
            case 0x74:
                reportSize = value;
                break;
            case 0x94:
                reportCount = value;
                break;
            case 0x84:
                reportId = value;
                break;
            case 0xA0:
                ++parsed.collections;
                ++parsed.openCollections;
                break;
            case 0xC0:
                --parsed.openCollections;
                break;
            case 0xB0:
                parsed.featureBits[reportId] += reportSize * reportCount;
                break;
            default:
                break;
        }
        i += 1 + size;
    }
    return parsed;
}

TEST(ReportDescriptor, DeclaresTheCommandAndDataReportsAsVendorFeatureReports) {
    const ParsedDescriptor parsed = Parse(sim::MixerReportDescriptor(65));
    EXPECT_EQ(parsed.usagePage, 0xFF00u);
    EXPECT_EQ(parsed.collections, 1u);
    EXPECT_EQ(parsed.openCollections, 0u);
    // 64 data bytes each: with the report id byte, a feature report length of 65.
    EXPECT_EQ(parsed.featureBits, (std::map<unsigned, unsigned>{{0xF0, 512}, {0xF1, 512}}));
}

TEST(ReportDescriptor, FollowsTheFeatureLengthTheMixerIsGiven) {
    // A count over 127 no longer fits a one-byte item with its sign bit clear.
    EXPECT_EQ(Parse(sim::MixerReportDescriptor(300)).featureBits,
              (std::map<unsigned, unsigned>{{0xF0, 299 * 8}, {0xF1, 299 * 8}}));
    EXPECT_EQ(Parse(sim::MixerReportDescriptor(2)).featureBits,
              (std::map<unsigned, unsigned>{{0xF0, 8}, {0xF1, 8}}));
    // Length 0: no feature report at all, so the capabilities say 0.
    const ParsedDescriptor none = Parse(sim::MixerReportDescriptor(0));
    EXPECT_TRUE(none.featureBits.empty());
    EXPECT_EQ(none.collections, 1u);
    EXPECT_EQ(none.openCollections, 0u);
}

}  // namespace
