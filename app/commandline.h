// The wizard's command-line switches. The command line is only searched, never split: a switch is
// on when its text occurs anywhere in it, letter case counting. So "-usbtestonly" also turns on
// "-usbtest", and any longer word that contains "-quiet" turns on quiet mode.
#pragma once

#include <vector>

#include "platform/win32api.h"

inline constexpr char SWITCH_QUIET[] = "-quiet";
inline constexpr char SWITCH_USB_TEST[] = "-usbtest";
inline constexpr char SWITCH_DANTE_TEST[] = "-dantetest";
inline constexpr char SWITCH_USB_TEST_ONLY[] = "-usbtestonly";
inline constexpr char SWITCH_DANTE_TEST_ONLY[] = "-dantetestonly";

// Each switch with what it does, for the programs' help.
struct WizardSwitch {
    LPCSTR text;
    LPCSTR help;
};
inline constexpr WizardSwitch WIZARD_SWITCHES[] = {
    {SWITCH_QUIET, "no questions; Next and Finish are pressed by themselves"},
    {SWITCH_USB_TEST, "test the USB audio port after the update"},
    {SWITCH_DANTE_TEST, "test the Dante serial port after the update"},
    {SWITCH_USB_TEST_ONLY, "only the USB audio port test"},
    {SWITCH_DANTE_TEST_ONLY, "only the Dante serial port test"},
};

BOOL IsSwitchPresent(LPCSTR lpCmdLine, LPCSTR lpSwitch);

enum class WizardPage { Welcome, Update, UsbTest, DanteTest, Finish };

// The wizard's pages in their fixed order; the order of the switches has no effect.
std::vector<WizardPage> SelectWizardPages(LPCSTR lpCmdLine);
