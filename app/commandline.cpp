#include "app/commandline.h"

#include <cstring>

BOOL IsSwitchPresent(LPCSTR lpCmdLine, LPCSTR lpSwitch) {
    return std::strstr(lpCmdLine, lpSwitch) != nullptr;
}

std::vector<WizardPage> SelectWizardPages(LPCSTR lpCmdLine) {
    std::vector<WizardPage> pages{WizardPage::Welcome};
    if (!IsSwitchPresent(lpCmdLine, SWITCH_USB_TEST_ONLY) &&
        !IsSwitchPresent(lpCmdLine, SWITCH_DANTE_TEST_ONLY)) {
        pages.push_back(WizardPage::Update);
    }
    if (IsSwitchPresent(lpCmdLine, SWITCH_USB_TEST)) {
        pages.push_back(WizardPage::UsbTest);
    }
    if (IsSwitchPresent(lpCmdLine, SWITCH_DANTE_TEST)) {
        pages.push_back(WizardPage::DanteTest);
    }
    pages.push_back(WizardPage::Finish);
    return pages;
}
