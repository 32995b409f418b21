// How vantor-setup --list writes a mixer's USB version number: as its maker writes a firmware
// version, with the number itself where it is not binary-coded decimal.
#include "programs/mixerlisting.h"

#include <gtest/gtest.h>

namespace {

TEST(MixerListing, WritesTheVersionNumberAsMajorDotMinor) {
    const struct {
        unsigned bcdDevice;
        const char* text;
    } cases[] = {
        {0x0123, "1.23"},  // no leading zero in the major number
        {0x0214, "2.14"},
        {0x1002, "10.02"},  // both digits of each half, the minor's leading zero kept
        {0x0000, "0.00"},
        {0x02A4, "0x02A4"},  // not BCD: the number as it stands, never "2.:4"
        {0xA001, "0xA001"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(programs::FirmwareVersionText(c.bcdDevice), c.text) << std::hex << c.bcdDevice;
    }
}

}  // namespace
