// The HID core's identity of a device, as the virtual mixer writes it and the hardware backend
// reads it.
#include "hid/hidid.h"

#include <gtest/gtest.h>

namespace {

TEST(HidId, IsBusVendorAndProductInHexadecimal) {
    EXPECT_EQ(hid::HidId(0x0CA8, 0x0801), "0003:00000CA8:00000801");
    WORD vendor = 0;
    WORD product = 0;
    ASSERT_TRUE(hid::ParseHidId(hid::HidId(0xFFFF, 0x0804), &vendor, &product));
    EXPECT_EQ(vendor, 0xFFFF);
    EXPECT_EQ(product, 0x0804);
    ASSERT_TRUE(hid::ParseHidId("0005:0000046d:0000b01a", &vendor, &product));
    EXPECT_EQ(vendor, 0x046D);
    EXPECT_EQ(product, 0xB01A);
    for (const char* wrong :
         {"", "0003:00000CA8", "0003:00000CA8:", "0003:0001CA80:0801", "0003:00000CA8:00000801:1",
          "0003:CA8:08x1", "0003:000000000CA8:801"}) {
        vendor = product = 7;
        EXPECT_FALSE(hid::ParseHidId(wrong, &vendor, &product)) << wrong;
        EXPECT_EQ(vendor, 7) << wrong;
        EXPECT_EQ(product, 7) << wrong;
    }
}

TEST(HidId, AHexNumberIsDigitsOnlyAndWithinItsLimit) {
    const struct {
        const char* text;
        bool parses;
        unsigned long value;
    } cases[] = {
        {"0214", true, 0x0214}, {"ffff", true, 0xFFFF},  {"10000", false, 0},
        {"", false, 0},         {"0x12", false, 0},      {"12\n", false, 0},
        {"-1", false, 0},       {"000000001", false, 0},
    };
    for (const auto& c : cases) {
        unsigned long value = 99;
        EXPECT_EQ(hid::ParseHex(c.text, 0xFFFF, &value), c.parses) << c.text;
        EXPECT_EQ(value, c.parses ? c.value : 99) << c.text;
    }
}

}  // namespace
