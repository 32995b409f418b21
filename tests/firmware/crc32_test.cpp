#include "firmware/crc32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Crc32, GivesTheStandardCrc32OfKnownInputs) {
    std::string allBytes;
    for (int i = 0; i < 256; ++i) {
        allBytes += static_cast<char>(i);
    }
    const struct {
        std::string input;
        DWORD expected;
    } cases[] = {
        {"", 0x00000000},          {"a", 0xE8B7BE43},
        {"123456789", 0xCBF43926}, {"The quick brown fox jumps over the lazy dog", 0x414FA339},
        {allBytes, 0x29058C73},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Crc32(0xFFFFFFFF, c.input.data(), static_cast<DWORD>(c.input.size())), c.expected)
            << "input of " << c.input.size() << " bytes";
    }
}

TEST(Crc32, ReturnsTheComplementOfTheRegisterSoRangesCanBeChained) {
    const std::string text = "123456789";
    const DWORD first = Crc32(0xFFFFFFFF, text.data(), 4);
    EXPECT_EQ(Crc32(~first, text.data() + 4, 5), 0xCBF43926u);
    EXPECT_EQ(Crc32(0x12345678, nullptr, 0), ~0x12345678u);
}
