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

BOOL IsSwitchPresent(LPCSTR lpCmdLine, LPCSTR lpSwitch);

enum class WizardPage { Welcome, Update, UsbTest, DanteTest, Finish };

// The wizard's pages in their fixed order; the order of the switches has no effect.
std::vector<WizardPage> SelectWizardPages(LPCSTR lpCmdLine);
