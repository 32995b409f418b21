// The program's resources as the running program sees them: through the Win32 resource services.
#include <gtest/gtest.h>

#include <string>

#include "firmware/firmwareimage.h"
#include "firmware/imageacceptance.h"
#include "platform/win32api.h"
#include "resources/dialogtemplate.h"
#include "resources/resource.h"

namespace {

std::string LoadProgramString(UINT id) {
    char buffer[512];
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

TEST(ProgramStrings, HoldTheWizardsTexts) {
    struct {
        UINT id;
        const char* text;
    } const expected[] = {
        {1, "Corvena(TM) Vantor Firmware Update Wizard"},
        {2, "Updating Vantor Firmware"},
        {3, "Your Vantor firmware is being updated"},
        {4, "The firmware update image is incorrect or damaged."},
        {12, "There does not appear to be a Vantor connected to this computer."},
        {15, "Firmware Update Failed"},
        {16, "The Vantor firmware could not be updated for the following reason:\n\n"},
        {17, "Testing Vantor USB Port"},
        {18, "Your Vantor USB port is being tested"},
        {19, "Testing Vantor Dante Serial Port"},
        {20, "Your Vantor Dante serial port is being tested"},
        {21, "USB Test Failed"},
        {22,
         "The Vantor firmware was updated, but the USB port test FAILED for the following "
         "reason:\n\n"},
        {23, "The Vantor firmware was successfully updated.\n\nThe USB port test PASSED."},
        {24, "Dante Serial Port Test Failed"},
        {25,
         "The Vantor firmware was updated, but the Dante serial port test FAILED for the "
         "following reason:\n\n"},
        {26, "The Vantor firmware was successfully updated.\n\nThe Dante port test PASSED."},
        {27,
         "The Vantor firmware was successfully updated.\n\nThe USB port test PASSED.\n\nThe "
         "Dante port test PASSED."},
        {28,
         "Another Vantor firmware update is running on this computer. Let it finish, then run "
         "this wizard again if it is still needed."},
        {29,
         "The log of this run cannot be written, so the wizard goes on without one. The update "
         "is not affected."},
    };
    for (const auto& string : expected) {
        EXPECT_EQ(LoadProgramString(string.id), string.text) << "string " << string.id;
    }
    // The table holds nothing else in its first two blocks, an application title least of all.
    for (UINT id : {0u, 5u, 11u, 13u, 14u, 30u, 31u}) {
        EXPECT_EQ(LoadProgramString(id), "") << "string " << id;
    }
}

DWORD FirmwareSize(WORD id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_RCDATA);
    return found != nullptr ? SizeofResource(module, found) : 0;
}

TEST(FirmwareResources, CarryTheShippedImagesOnly) {
    EXPECT_EQ(FirmwareSize(IDR_CODE_IMAGE), 156400u);
    EXPECT_EQ(FirmwareSize(IDR_LOGIC_IMAGE_0804), 677372u);

    SetLastError(0);
    EXPECT_EQ(
        FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_LOGIC_IMAGE_0800), RT_RCDATA),
        nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

// The images the program carries pass the rules the update applies to them, from its own resources.
TEST(FirmwareResources, AreAcceptedByTheUpdatesRules) {
    ImageHeaderInfo info{};
    CFirmwareImage code;
    ASSERT_EQ(code.LoadFromResource(GetModuleHandleA(nullptr), IDR_CODE_IMAGE),
              ImageLoadResult::Loaded);
    EXPECT_EQ(
        CheckImageAcceptance(code.GetData(), code.GetImageSize(), ImageKind::Code, false, &info),
        AcceptanceStep::Accepted);
    EXPECT_EQ(info.headerLength, 72u);

    CFirmwareImage logic;
    ASSERT_EQ(logic.LoadFromResource(GetModuleHandleA(nullptr), IDR_LOGIC_IMAGE_0804),
              ImageLoadResult::Loaded);
    EXPECT_EQ(
        CheckImageAcceptance(logic.GetData(), logic.GetImageSize(), ImageKind::Logic, true, &info),
        AcceptanceStep::Accepted);
    EXPECT_EQ(info.headerLength, 72u);
}

TEST(DialogTemplates, LayOutTheFivePages) {
    const DialogTemplate* welcome = FindDialogTemplate(IDD_WELCOME);
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(welcome->width, 317);
    EXPECT_EQ(welcome->height, 193);
    ASSERT_EQ(welcome->controls.size(), 3u);
    EXPECT_EQ(welcome->controls[0].id, IDC_WELCOME_TITLE);
    EXPECT_STREQ(welcome->controls[0].text, "Welcome to the Corvena(TM) Firmware Update Wizard");
    EXPECT_STREQ(welcome->controls[2].text,
                 "If you do not want to update your Vantor firmware,\nclick Cancel.\n\nTo "
                 "continue, click Next.");

    for (int id : {IDD_INSTALLING, IDD_TESTING, IDD_DANTE}) {
        const DialogTemplate* page = FindDialogTemplate(id);
        ASSERT_NE(page, nullptr) << id;
        EXPECT_EQ(page->height, 143);
        ASSERT_EQ(page->controls.size(), 3u);
        EXPECT_EQ(page->controls[1].kind, DialogControl::Kind::Animation);
        EXPECT_EQ(page->controls[1].id, IDC_ANIMATE);
        EXPECT_EQ(page->controls[2].kind, DialogControl::Kind::ProgressBar);
        EXPECT_EQ(page->controls[2].id, IDC_PROGRESS);
        EXPECT_EQ(page->controls[2].x, 59);
        EXPECT_EQ(page->controls[2].width, 200);
    }
    EXPECT_STREQ(FindDialogTemplate(IDD_DANTE)->controls[0].text,
                 "Please wait while the Corvena(TM) Firmware Update Wizard tests the Dante serial "
                 "port on your Vantor.  Do not unplug your Vantor during this process or shut down "
                 "your computer.");

    const DialogTemplate* finish = FindDialogTemplate(IDD_FINISH);
    ASSERT_NE(finish, nullptr);
    ASSERT_EQ(finish->controls.size(), 3u);
    EXPECT_EQ(finish->controls[2].id, IDC_FINISH_FOOTER);
    EXPECT_EQ(finish->controls[2].y, 169);
    EXPECT_STREQ(finish->controls[1].text, "The Vantor firmware was successfully updated.");

    EXPECT_EQ(FindDialogTemplate(110), nullptr);
}

}  // namespace
