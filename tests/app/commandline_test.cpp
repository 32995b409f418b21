#include "app/commandline.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using enum WizardPage;

struct PagesCase {
    const char* commandLine;
    std::vector<WizardPage> pages;
};

// Names each case by its command line in test listings.
void PrintTo(const PagesCase& c, std::ostream* os) {
    *os << "command line \"" << c.commandLine << '"';
}

class PageSelection : public ::testing::TestWithParam<PagesCase> {};

TEST_P(PageSelection, FollowsTheFixedOrder) {
    EXPECT_EQ(SelectWizardPages(GetParam().commandLine), GetParam().pages)
        << "command line: \"" << GetParam().commandLine << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Switches, PageSelection,
    ::testing::Values(
        PagesCase{"", {Welcome, Update, Finish}}, PagesCase{"-quiet", {Welcome, Update, Finish}},
        PagesCase{"-usbtest", {Welcome, Update, UsbTest, Finish}},
        PagesCase{"-dantetest", {Welcome, Update, DanteTest, Finish}},
        PagesCase{"-usbtest -dantetest", {Welcome, Update, UsbTest, DanteTest, Finish}},
        // The order on the command line has no effect.
        PagesCase{"-dantetest -usbtest", {Welcome, Update, UsbTest, DanteTest, Finish}},
        // "-usbtestonly" contains "-usbtest": it drops the update page and adds its own test.
        PagesCase{"-usbtestonly", {Welcome, UsbTest, Finish}},
        PagesCase{"-dantetestonly", {Welcome, DanteTest, Finish}},
        PagesCase{"-usbtestonly -dantetest", {Welcome, UsbTest, DanteTest, Finish}},
        PagesCase{"-usbtestonly -dantetestonly", {Welcome, UsbTest, DanteTest, Finish}},
        PagesCase{"-dantetestonly -usbtest", {Welcome, UsbTest, DanteTest, Finish}},
        // Substrings count anywhere, even inside other words and without separators.
        PagesCase{"x-usbtesty", {Welcome, Update, UsbTest, Finish}},
        PagesCase{"-quiet-dantetest", {Welcome, Update, DanteTest, Finish}},
        // Letter case counts.
        PagesCase{"-USBTEST -DanteTest", {Welcome, Update, Finish}},
        PagesCase{"-UsbTestOnly", {Welcome, Update, Finish}}));

TEST(Switches, IsACaseSensitiveSubstringMatch) {
    EXPECT_TRUE(IsSwitchPresent("-quiet", SWITCH_QUIET));
    EXPECT_TRUE(IsSwitchPresent("/a -quieter /b", SWITCH_QUIET));
    EXPECT_TRUE(IsSwitchPresent("\"-quiet\"", SWITCH_QUIET));
    EXPECT_FALSE(IsSwitchPresent("-Quiet", SWITCH_QUIET));
    EXPECT_FALSE(IsSwitchPresent("quiet", SWITCH_QUIET));
    EXPECT_FALSE(IsSwitchPresent("", SWITCH_QUIET));
}

// The log switch and its path are taken off before any other switch is looked for, in each of the
// forms a Windows command line gives them.
TEST(Switches, TheLogSwitchIsTakenOffWithItsPath) {
    const struct {
        const char* line;
        const char* rest;
        const char* path;
        bool transfers;
    } cases[] = {
        {"-quiet -log=C:\\v.log", "-quiet ", "C:\\v.log", false},
        {"-log=\"C:\\My Logs\\v.log\" -usbtest", " -usbtest", "C:\\My Logs\\v.log", false},
        {"\"-logtransfers=C:\\My Logs\\v.log\" -quiet", " -quiet", "C:\\My Logs\\v.log", true},
        // A folder named after a switch turns nothing on.
        {"-log=\"C:\\-quiet\\-usbtestonly\\v.log\"", "", "C:\\-quiet\\-usbtestonly\\v.log", false},
        // The first log switch counts; a second is taken off too.
        {"-log=a.log -logtransfers=b.log -quiet", "  -quiet", "a.log", false},
        {"-log=\"unclosed path -quiet", "", "unclosed path -quiet", false},
        {"-quiet -usbtest", "-quiet -usbtest", "", false},
        {"-logfile=x -log", "-logfile=x -log", "", false},  // neither is the switch
    };
    for (const auto& c : cases) {
        LogRequest request;
        EXPECT_EQ(TakeLogSwitch(c.line, &request), c.rest) << c.line;
        EXPECT_EQ(request.path, c.path) << c.line;
        EXPECT_EQ(request.transfers, c.transfers) << c.line;
    }
    // Neither log switch hides in another switch, nor another in either.
    for (const WizardSwitch& wizardSwitch : WIZARD_SWITCHES) {
        for (const char* logSwitch : {SWITCH_LOG, SWITCH_LOG_TRANSFERS}) {
            EXPECT_FALSE(IsSwitchPresent(wizardSwitch.text, logSwitch));
            EXPECT_FALSE(IsSwitchPresent(logSwitch, wizardSwitch.text));
        }
    }
}

}  // namespace
