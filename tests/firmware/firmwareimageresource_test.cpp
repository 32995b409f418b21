// Loading from the program's resources, through the stand-in resource registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "firmware/firmwareimage.h"
#include "firmware/imageacceptance.h"
#include "platform/portable/moduleresources.h"
#include "tests/firmware/testimages.h"

namespace {

constexpr WORD RT_RCDATA_NUMBER = 10;

class FirmwareImageResource : public ::testing::Test {
protected:
    void SetUp() override {
        const portable::RawResource raw[] = {
            {RT_RCDATA_NUMBER, 110, m_code.data(), static_cast<DWORD>(m_code.size())},
            {RT_RCDATA_NUMBER, 112, m_logic.data(), static_cast<DWORD>(m_logic.size())},
        };
        portable::RegisterModuleResources(raw, 2, nullptr, 0);
    }

    const std::vector<BYTE> m_code = CodeImage(1000);
    const std::vector<BYTE> m_logic = LogicImage(4001);
};

}  // namespace

TEST_F(FirmwareImageResource, CopiesTheResourceIntoTheWorkingBuffer) {
    CFirmwareImage image;
    ASSERT_EQ(image.LoadFromResource(GetModuleHandleA(nullptr), 112), ImageLoadResult::Loaded);
    EXPECT_EQ(image.GetImageSize(), m_logic.size());
    EXPECT_NE(image.GetData(), m_logic.data());
    EXPECT_TRUE(std::equal(m_logic.begin(), m_logic.end(), image.GetData()));
    EXPECT_TRUE(std::all_of(image.GetData() + m_logic.size(),
                            image.GetData() + image.GetBufferSize(),
                            [](BYTE b) { return b == 0; }));

    ImageHeaderInfo info;
    EXPECT_TRUE(AcceptImage(image.GetData(), image.GetImageSize(), ImageKind::Logic, true, &info));
}

TEST_F(FirmwareImageResource, ReportsAMissingResourceWithFindResourcesLastError) {
    HMODULE hModule = GetModuleHandleA(nullptr);
    ASSERT_EQ(FindResourceA(hModule, MAKEINTRESOURCEA(111), RT_RCDATA), nullptr);
    const DWORD expected = GetLastError();
    ASSERT_NE(expected, 0u);

    CFirmwareImage image;
    ASSERT_EQ(image.LoadFromResource(hModule, 110), ImageLoadResult::Loaded);
    SetLastError(0);
    EXPECT_EQ(image.LoadFromResource(hModule, 111), ImageLoadResult::NotFound);
    EXPECT_EQ(GetLastError(), expected);
    EXPECT_EQ(image.GetImageSize(), m_code.size()) << "a failed load keeps the earlier image";
}
