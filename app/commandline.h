// The wizard's command-line switches. The command line is only searched, never split: a switch is
// on when its text occurs anywhere in it, letter case counting. So "-usbtestonly" also turns on
// "-usbtest", and any longer word that contains "-quiet" turns on quiet mode.
#pragma once

#include <string>
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

// A run log for support: -log=PATH, or -logtransfers=PATH for one that also holds every transfer.
// Neither is a part of another switch, nor another switch a part of either. A path with spaces is
// quoted, after the "=" or around the whole switch.
inline constexpr char SWITCH_LOG[] = "-log=";
inline constexpr char SWITCH_LOG_TRANSFERS[] = "-logtransfers=";
inline constexpr WizardSwitch LOG_SWITCHES[] = {
    {"-log=PATH", "write a log of the run to PATH, for support"},
    {"-logtransfers=PATH", "the same log with every transfer, which a replay can answer"},
};

struct LogRequest {
    std::string path;  // empty: no log
    bool transfers = false;
};

// The command line without its log switches and their paths, which the other switches are never
// searched in: a folder named "-quiet" in the log's path must not make the run quiet. The first log
// switch is the one taken.
std::string TakeLogSwitch(LPCSTR lpCmdLine, LogRequest* request);

BOOL IsSwitchPresent(LPCSTR lpCmdLine, LPCSTR lpSwitch);

enum class WizardPage { Welcome, Update, UsbTest, DanteTest, Finish };

// The wizard's pages in their fixed order; the order of the switches has no effect.
std::vector<WizardPage> SelectWizardPages(LPCSTR lpCmdLine);
