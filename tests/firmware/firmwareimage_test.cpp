#include "firmware/firmwareimage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/firmware/testimages.h"

namespace {

bool TailIsZero(const CFirmwareImage& image) {
    const BYTE* tail = image.GetData() + image.GetImageSize();
    return std::all_of(tail, tail + IMAGE_TAIL_SIZE, [](BYTE b) { return b == 0; });
}

}  // namespace

TEST(FirmwareImage, CopiesTheImageIntoABufferWithAZeroTail) {
    const std::vector<BYTE> bytes(1001, 0xFF);
    CFirmwareImage image;
    ASSERT_TRUE(image.LoadFromBytes(bytes.data(), static_cast<DWORD>(bytes.size())));
    EXPECT_EQ(image.GetImageSize(), 1001u);
    EXPECT_EQ(image.GetBufferSize(), 1061u);
    EXPECT_NE(image.GetData(), bytes.data()) << "the buffer is a private copy";
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.GetData()));
    EXPECT_TRUE(TailIsZero(image));

    ASSERT_TRUE(image.LoadFromBytes(nullptr, 0));
    EXPECT_EQ(image.GetImageSize(), 0u);
    EXPECT_EQ(image.GetBufferSize(), IMAGE_TAIL_SIZE);
    EXPECT_TRUE(TailIsZero(image));
}

TEST(FirmwareImage, RefusesImpossibleSizesWithALastErrorAndKeepsItsBuffer) {
    const std::vector<BYTE> bytes = CodeImage(10);
    CFirmwareImage image;
    EXPECT_EQ(image.GetData(), nullptr);
    ASSERT_TRUE(image.LoadFromBytes(bytes.data(), static_cast<DWORD>(bytes.size())));

    SetLastError(0);
    EXPECT_FALSE(image.LoadFromBytes(nullptr, 10));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    SetLastError(0);
    // Too large for a DWORD-sized buffer: refused before any memory is asked for.
    EXPECT_FALSE(image.LoadFromBytes(bytes.data(), 0xFFFFFFF0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

    EXPECT_EQ(image.GetImageSize(), bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.GetData()));
}
