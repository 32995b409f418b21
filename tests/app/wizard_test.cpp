// The wizard sheet and its pages: which pages a command line gives, the buttons on each, quiet
// mode's presses, Cancel, the caption and the title font.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/setupdlg.h"
#include "framework/frameworkids.h"
#include "resources/resource.h"
#include "tests/app/scriptedworkers.h"

namespace {

using portable::Press;
using Kind = portable::ViewEvent::Kind;

TEST(Wizard, EachSwitchRowGivesItsPages) {
    struct Case {
        const char* switches;
        std::vector<int> pages;
    } const cases[] = {
        {"", {IDD_WELCOME, IDD_INSTALLING, IDD_FINISH}},
        {"-usbtest", {IDD_WELCOME, IDD_INSTALLING, IDD_TESTING, IDD_FINISH}},
        {"-dantetest", {IDD_WELCOME, IDD_INSTALLING, IDD_DANTE, IDD_FINISH}},
        {"-dantetest -usbtest", {IDD_WELCOME, IDD_INSTALLING, IDD_TESTING, IDD_DANTE, IDD_FINISH}},
        {"-usbtestonly", {IDD_WELCOME, IDD_TESTING, IDD_FINISH}},
        {"-dantetestonly", {IDD_WELCOME, IDD_DANTE, IDD_FINISH}},
        {"-usbtestonly -dantetest", {IDD_WELCOME, IDD_TESTING, IDD_DANTE, IDD_FINISH}},
        {"-dantetestonly -usbtest", {IDD_WELCOME, IDD_TESTING, IDD_DANTE, IDD_FINISH}},
    };
    for (const Case& c : cases) {
        ScriptedWizard wizard;
        const std::string line = std::string("-quiet ") + c.switches;
        EXPECT_EQ(wizard.Run(line.c_str()), 0) << c.switches;
        EXPECT_EQ(wizard.view.ActivatedTemplates(), c.pages) << c.switches;
        EXPECT_EQ(Workers().started, static_cast<int>(c.pages.size()) - 2) << c.switches;
    }
}

TEST(Wizard, QuietModePressesNextAndFinishByItself) {
    ScriptedWizard wizard;
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    EXPECT_EQ(wizard.view.Waits(), 0);  // nobody was asked for anything
    const auto closed = wizard.view.Events(Kind::SheetClosed);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].event.result, ID_WIZFINISH);
    // Quiet mode's Next leaves Cancel disabled, as a person's does.
    EXPECT_FALSE(wizard.LastStateOf(IDD_INSTALLING).cancel.enabled);
}

TEST(Wizard, ButtonsOnEachPage) {
    ScriptedWizard wizard;
    wizard.view.Script({Press::Next, Press::Finish});
    // Done only once the page has shown its buttons off: a worker's WN_DONE runs ahead of the
    // messages the page posted, as on Windows.
    Workers().update = [&wizard](CInstallingPage& page) {
        EXPECT_TRUE(wizard.view.WaitUntilShown(
            [](const portable::SheetView& sheet) {
                return sheet.page.templateId == IDD_INSTALLING && !sheet.next.enabled;
            },
            5000));
        Succeed(page);
    };
    EXPECT_EQ(wizard.Run(""), 0);

    // What the person saw when they were asked on the welcome page and on the finish page.
    ASSERT_EQ(wizard.view.WaitStates().size(), 2u);
    const portable::SheetView welcome = wizard.view.WaitStates()[0];
    EXPECT_EQ(welcome.page.templateId, IDD_WELCOME);
    EXPECT_FALSE(welcome.back.visible);
    EXPECT_TRUE(welcome.next.visible && welcome.next.enabled);
    EXPECT_FALSE(welcome.finish.visible);
    EXPECT_TRUE(welcome.cancel.enabled);

    const portable::SheetView update = wizard.LastStateOf(IDD_INSTALLING);
    EXPECT_FALSE(update.back.visible);
    EXPECT_FALSE(update.next.enabled);
    EXPECT_FALSE(update.cancel.enabled);

    const portable::SheetView finish = wizard.view.WaitStates()[1];
    EXPECT_EQ(finish.page.templateId, IDD_FINISH);
    EXPECT_FALSE(finish.back.visible);
    EXPECT_FALSE(finish.next.visible);
    EXPECT_TRUE(finish.finish.visible && finish.finish.enabled);
    EXPECT_EQ(finish.finish.text, "&Finish");
    EXPECT_FALSE(finish.cancel.enabled);
}

TEST(Wizard, CancelOnTheWelcomePageStartsNoWorker) {
    ScriptedWizard wizard;
    wizard.view.Script({Press::Cancel});
    EXPECT_EQ(wizard.Run("-usbtest -dantetest"), ERROR_CANCELLED);
    EXPECT_EQ(Workers().started, 0);
    EXPECT_EQ(wizard.view.ActivatedTemplates(), std::vector<int>{IDD_WELCOME});
}

TEST(Wizard, WhenInputEndsTheWelcomePageIsCancelled) {
    ScriptedWizard wizard;
    EXPECT_EQ(wizard.Run(""), ERROR_CANCELLED);
}

TEST(Wizard, TheSheetHasItsCaptionAndNeitherSystemMenuNorHelp) {
    ScriptedWizard wizard;
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    const auto opened = wizard.view.Events(Kind::SheetOpened);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].sheet.caption, "Corvena(TM) Vantor Firmware Update Wizard");
    EXPECT_FALSE(opened[0].sheet.systemMenu);
    EXPECT_FALSE(opened[0].sheet.contextHelp);
    EXPECT_TRUE(opened[0].sheet.taskbar.overlay);
    // The exterior pages' titles are bold; the interior pages have their headers.
    const portable::SheetView welcome = wizard.LastStateOf(IDD_WELCOME);
    ASSERT_NE(welcome.page.Control(IDC_WELCOME_TITLE), nullptr);
    EXPECT_TRUE(welcome.page.Control(IDC_WELCOME_TITLE)->bold);
    EXPECT_TRUE(welcome.page.exterior);
    const portable::SheetView update = wizard.LastStateOf(IDD_INSTALLING);
    EXPECT_EQ(update.page.headerTitle, "Updating Vantor Firmware");
    EXPECT_EQ(update.page.headerSubtitle, "Your Vantor firmware is being updated");
}

TEST(Wizard, ThePreCreateCallbackClearsTheStyleInEitherTemplateForm) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CONTEXTHELP;
    const DWORD expected = WS_POPUP | WS_CAPTION | DS_MODALFRAME;

    DLGTEMPLATE classic{};
    classic.style = style;
    EXPECT_EQ(CSetupDlg::SheetCallback(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(&classic)),
              0);
    EXPECT_EQ(classic.style, expected);

    BYTE extended[32] = {1, 0, 0xFF, 0xFF};  // version 1, signature 0xFFFF
    std::memcpy(extended + 12, &style, sizeof style);
    EXPECT_EQ(CSetupDlg::SheetCallback(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(extended)),
              0);
    DWORD changed;
    std::memcpy(&changed, extended + 12, sizeof changed);
    EXPECT_EQ(changed, expected);
    EXPECT_EQ(extended[0], 1);  // nothing else touched

    EXPECT_EQ(CSetupDlg::SheetCallback(nullptr, PSCB_INITIALIZED, 0), 0);
}

// Rounded to the nearest pixel: 12 points at 100 dpi are 16.67 pixels.
TEST(Wizard, TheTitleFontIsTwelvePointAtTheScreensResolution) {
    for (const auto& [pixelsPerInch, height] :
         {std::pair{96, -16}, {100, -17}, {120, -20}, {144, -24}, {192, -32}}) {
        ScriptedWizard wizard;
        wizard.view.SetPixelsPerInch(pixelsPerInch);
        LOGFONTA font{};
        Workers().update = [&font](CInstallingPage& page) {
            GetObjectA(page.GetSetupDlg()->m_fontTitle.GetSafeHandle(), sizeof font, &font);
            Succeed(page);
        };
        EXPECT_EQ(wizard.Run("-quiet"), 0);
        EXPECT_EQ(font.lfHeight, height) << pixelsPerInch;
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        EXPECT_STREQ(font.lfFaceName, "Verdana Bold");
    }
}

// The watermark and header drawn for the scale nearest to the screen's DPI; a tie goes to the
// larger, which the sheet shrinks rather than stretches.
TEST(Wizard, TheSheetShowsTheBitmapsDrawnForTheScreensDpi) {
    const struct {
        int pixelsPerInch;
        int watermark;
        int header;
    } cases[] = {
        {72, IDB_WATERMARK, IDB_HEADER},          {96, IDB_WATERMARK, IDB_HEADER},
        {119, IDB_WATERMARK, IDB_HEADER},         {120, IDB_WATERMARK_150, IDB_HEADER_150},
        {144, IDB_WATERMARK_150, IDB_HEADER_150}, {167, IDB_WATERMARK_150, IDB_HEADER_150},
        {168, IDB_WATERMARK_200, IDB_HEADER_200}, {192, IDB_WATERMARK_200, IDB_HEADER_200},
        {288, IDB_WATERMARK_200, IDB_HEADER_200},
    };
    for (const auto& c : cases) {
        ScriptedWizard wizard;
        wizard.view.SetPixelsPerInch(c.pixelsPerInch);
        PROPSHEETHEADERA header{};
        Workers().update = [&header](CInstallingPage& page) {
            header = page.GetSetupDlg()->m_psh;
            Succeed(page);
        };
        EXPECT_EQ(wizard.Run("-quiet"), 0);
        EXPECT_EQ(header.pszbmWatermark, MAKEINTRESOURCEA(c.watermark)) << c.pixelsPerInch;
        EXPECT_EQ(header.pszbmHeader, MAKEINTRESOURCEA(c.header)) << c.pixelsPerInch;
        EXPECT_EQ(header.dwFlags & (PSH_WATERMARK | PSH_HEADER),
                  static_cast<DWORD>(PSH_WATERMARK | PSH_HEADER));
    }
}

TEST(Wizard, WithoutATaskbarTheWizardRunsTheSame) {
    ScriptedWizard wizard;
    wizard.view.SetHasTaskbar(false);
    Workers().update = [](CInstallingPage& page) {
        EXPECT_EQ(page.GetSetupDlg()->m_pTaskbarList, nullptr);
        Succeed(page);
    };
    EXPECT_EQ(wizard.Run("-quiet"), 0);
    EXPECT_TRUE(wizard.view.Events(Kind::TaskbarCreated).empty());
    EXPECT_TRUE(wizard.view.Events(Kind::TaskbarState).empty());
}

}  // namespace
