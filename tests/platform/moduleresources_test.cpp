#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/portable/moduleresources.h"
#include "platform/win32api.h"

namespace {

const unsigned char kImage[] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01};

class ModuleResources : public ::testing::Test {
protected:
    void SetUp() override {
        static const portable::RawResource raw[] = {{10, 110, kImage, sizeof kImage}};
        static const portable::StringResource strings[] = {
            {1, "Welcome"},           {15, "last of block 1"},
            {16, "first of block 2"}, {17, "second of block 2"},
            {31, "last of block 2"},  {32, "first of block 3"},
        };
        portable::RegisterModuleResources(raw, std::size(raw), strings, std::size(strings));
    }

    static std::string Load(UINT id, int size = 256) {
        std::string buffer(static_cast<std::size_t>(size), 'x');
        const int n = LoadStringA(nullptr, id, buffer.data(), size);
        EXPECT_EQ(buffer.c_str(), buffer.substr(0, static_cast<std::size_t>(n)));
        return buffer.c_str();
    }
};

TEST_F(ModuleResources, RawResourceIsFoundLoadedAndSized) {
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(self, nullptr);
    for (HMODULE module : {self, static_cast<HMODULE>(nullptr)}) {
        HRSRC info = FindResourceA(module, MAKEINTRESOURCE(110), RT_RCDATA);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(SizeofResource(module, info), sizeof kImage);
        EXPECT_EQ(LockResource(LoadResource(module, info)), static_cast<const void*>(kImage));
    }
}

TEST_F(ModuleResources, EachFailureLeavesItsOwnLastError) {
    auto expectError = [](bool failed, DWORD error) {
        EXPECT_TRUE(failed);
        EXPECT_EQ(GetLastError(), error);
        SetLastError(ERROR_SUCCESS);
    };
    SetLastError(ERROR_SUCCESS);
    expectError(FindResourceA(nullptr, MAKEINTRESOURCE(111), RT_RCDATA) == nullptr,
                ERROR_RESOURCE_NAME_NOT_FOUND);
    expectError(FindResourceA(nullptr, MAKEINTRESOURCE(110), MAKEINTRESOURCE(3)) == nullptr,
                ERROR_RESOURCE_TYPE_NOT_FOUND);
    expectError(GetModuleHandleA("dsound.dll") == nullptr, ERROR_MOD_NOT_FOUND);
    expectError(LoadResource(nullptr, nullptr) == nullptr, ERROR_INVALID_HANDLE);
    expectError(SizeofResource(nullptr, nullptr) == 0, ERROR_INVALID_HANDLE);

    portable::RegisterModuleResources(nullptr, 0, nullptr, 0);
    expectError(FindResourceA(nullptr, MAKEINTRESOURCE(110), RT_RCDATA) == nullptr,
                ERROR_RESOURCE_DATA_NOT_FOUND);
}

TEST_F(ModuleResources, HandlesFromAReplacedSetStayValid) {
    HRSRC old = FindResourceA(nullptr, MAKEINTRESOURCE(110), RT_RCDATA);
    portable::RegisterModuleResources(nullptr, 0, nullptr, 0);
    EXPECT_EQ(SizeofResource(nullptr, old), sizeof kImage);
}

TEST_F(ModuleResources, StringsAcrossBlockBoundaries) {
    for (auto [id, text] : {std::pair<UINT, const char*>{1, "Welcome"},
                            {15, "last of block 1"},
                            {16, "first of block 2"},
                            {17, "second of block 2"},
                            {31, "last of block 2"},
                            {32, "first of block 3"}}) {
        EXPECT_EQ(Load(id), text) << "string " << id;
    }
}

TEST_F(ModuleResources, StringBlockHasTheResourceCompilersLayout) {
    // Block 2 holds ids 16 to 31: slots 0, 1 and 15 are used, the 13 between are empty.
    std::vector<WORD> expected;
    auto counted = [&](const std::string& text) {
        expected.push_back(static_cast<WORD>(text.size()));
        expected.insert(expected.end(), text.begin(), text.end());
    };
    counted("first of block 2");
    counted("second of block 2");
    expected.insert(expected.end(), 13, 0);
    counted("last of block 2");

    HRSRC block = FindResourceA(nullptr, MAKEINTRESOURCE(2), RT_STRING);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(SizeofResource(nullptr, block), expected.size() * sizeof(WORD));
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(nullptr, block)));
    EXPECT_EQ(std::vector<WORD>(words, words + expected.size()), expected);
}

TEST_F(ModuleResources, LoadStringTruncatesAndTerminates) {
    EXPECT_EQ(Load(1, 8), "Welcome");  // exactly fits with its null
    EXPECT_EQ(Load(1, 4), "Wel");
    EXPECT_EQ(Load(1, 1), "");
}

TEST_F(ModuleResources, MissingStringGivesZeroAndAnEmptyBuffer) {
    // 2 shares a block with 1; 48 has no block at all.
    for (UINT id : {2u, 48u}) {
        char buffer[8] = "garbage";
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(LoadStringA(nullptr, id, buffer, sizeof buffer), 0) << "string " << id;
        EXPECT_STREQ(buffer, "");
        EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    }
}

}  // namespace
