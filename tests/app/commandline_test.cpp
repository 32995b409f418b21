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

}  // namespace
