// The finish page: the outcome record in words, the system's text for the error, and the exit code.
#include <gtest/gtest.h>

#include <string>

#include "app/setupdlg.h"
#include "app/workeranswers.h"
#include "resources/resource.h"
#include "tests/app/scriptedworkers.h"

namespace {

struct FinishTexts {
    std::string title;
    std::string body;
    std::string footer;
};

FinishTexts FinishPage(const ScriptedWizard& wizard) {
    const portable::SheetView finish = wizard.LastStateOf(IDD_FINISH);
    return {finish.page.Control(IDC_FINISH_TITLE)->text, finish.page.Control(IDC_FINISH_TEXT)->text,
            finish.page.Control(IDC_FINISH_FOOTER)->text};
}

std::string SystemText(DWORD error) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    return text;
}

const std::string kTemplateTitle = "Firmware Update Complete";
const std::string kTemplateBody = "The Vantor firmware was successfully updated.";
const std::string kTemplateFooter = "To close this wizard, click Finish.";

TEST(FinishPage, ShowsEachRowOfTheOutcomeTable) {
    struct Case {
        const char* name;
        int title, body, error;
        std::string expectedTitle, expectedBody;
    } const cases[] = {
        {"update succeeded", 0, 0, 0, kTemplateTitle, kTemplateBody},
        {"update failed", IDS_UPDATE_FAILED_TITLE, IDS_UPDATE_FAILED_TEXT, ERROR_BAD_UNIT,
         "Firmware Update Failed",
         "The Vantor firmware could not be updated for the following reason:\n\n" +
             SystemText(ERROR_BAD_UNIT)},
        {"USB test passed", 0, IDS_USB_TEST_PASSED_TEXT, 0, kTemplateTitle,
         "The Vantor firmware was successfully updated.\n\nThe USB port test PASSED."},
        {"USB test failed", IDS_USB_TEST_FAILED_TITLE, IDS_USB_TEST_FAILED_TEXT, ERROR_BAD_UNIT,
         "USB Test Failed",
         "The Vantor firmware was updated, but the USB port test FAILED for the following "
         "reason:\n\n" +
             SystemText(ERROR_BAD_UNIT)},
        {"both tests passed", 0, IDS_BOTH_TESTS_PASSED_TEXT, 0, kTemplateTitle,
         "The Vantor firmware was successfully updated.\n\nThe USB port test PASSED.\n\nThe Dante "
         "port test PASSED."},
        {"Dante test passed", 0, IDS_DANTE_TEST_PASSED_TEXT, 0, kTemplateTitle,
         "The Vantor firmware was successfully updated.\n\nThe Dante port test PASSED."},
        {"Dante test failed", IDS_DANTE_TEST_FAILED_TITLE, IDS_DANTE_TEST_FAILED_TEXT,
         static_cast<int>(SCARD_F_COMM_ERROR), "Dante Serial Port Test Failed",
         "The Vantor firmware was updated, but the Dante serial port test FAILED for the following "
         "reason:\n\n" +
             SystemText(static_cast<DWORD>(SCARD_F_COMM_ERROR))},
        // No system text for the code: the body alone, ending in its blank line.
        {"no system text", IDS_UPDATE_FAILED_TITLE, IDS_UPDATE_FAILED_TEXT, 0x20001234,
         "Firmware Update Failed",
         "The Vantor firmware could not be updated for the following reason:\n\n"},
    };
    for (const Case& c : cases) {
        ScriptedWizard wizard;
        Workers().update = [&c](CInstallingPage& page) {
            CSetupDlg::SetWorkerOutcome(c.title, c.body, 0, c.error);
            page.Done();
        };
        EXPECT_EQ(wizard.Run("-quiet"), c.error) << c.name;
        const FinishTexts texts = FinishPage(wizard);
        EXPECT_EQ(texts.title, c.expectedTitle) << c.name;
        EXPECT_EQ(texts.body, c.expectedBody) << c.name;
        EXPECT_EQ(texts.footer, kTemplateFooter) << c.name;
    }
}

TEST(FinishPage, AFailedUpdateIsWhatTheFinishPageShowsAfterSkippedTests) {
    ScriptedWizard wizard;
    Workers().update = [](CInstallingPage& page) {
        CSetupDlg::SetWorkerOutcome(IDS_UPDATE_FAILED_TITLE, IDS_UPDATE_FAILED_TEXT, 0,
                                    ERROR_BAD_FORMAT);
        page.Done();
    };
    // The tests find the failure and leave the record as it is.
    const auto skip = [](CProgressPage& page) { page.Done(); };
    Workers().usbTest = skip;
    Workers().danteTest = skip;
    EXPECT_EQ(wizard.Run("-quiet -usbtest -dantetest"), ERROR_BAD_FORMAT);
    EXPECT_EQ(FinishPage(wizard).title, "Firmware Update Failed");
}

TEST(FinishPage, ANonQuietRunWaitsForFinish) {
    ScriptedWizard wizard;
    wizard.view.Script({portable::Press::Next, portable::Press::Finish});
    EXPECT_EQ(wizard.Run(""), 0);
    EXPECT_EQ(wizard.view.Waits(), 2);
}

}  // namespace
