// setup.exe from end to end under the real window system. There is no mixer here, so every run
// that looks for one ends with ERROR_BAD_UNIT; what is tested is what the person sees and does on
// the way: the pages, the message box and its answer, the finish texts and the exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "framework/frameworkids.h"
#include "resources/resource.h"
#include "tests/support/planteddlls.h"
#include "tests/windows/runningprogram.h"
#include "tests/windows/screenshot.h"
#include "tests/windows/setupprogram.h"

namespace {

// Long enough for a slow Wine start; no run here waits for a device.
constexpr DWORD kWindowTimeout = 30000;
constexpr DWORD kExitTimeout = 60000;
const std::string kMessageBoxCaption = "setup";  // the application's name, from setup.exe

// Runs the program to its end while watching for a message box; true if one showed.
bool ShowsMessageBoxUntilExit(RunningProgram& program, long& exitCode) {
    bool shown = false;
    for (DWORD waited = 0; waited < kExitTimeout; waited += 50) {
        shown = shown || program.FindDialog(kMessageBoxCaption) != nullptr;
        exitCode = program.WaitForExit(50);
        if (exitCode != -1) {
            return shown;
        }
    }
    return shown;
}

class SetupExe : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(ProgramString(IDS_CAPTION).empty()) << SetupPath(); }

    HWND WaitForSheet(const RunningProgram& program) const {
        return program.WaitForDialog(ProgramString(IDS_CAPTION), kWindowTimeout);
    }
    // The sheet once it shows its welcome page; null if it did not come.
    HWND WaitForWelcomePage(const RunningProgram& program) const {
        const HWND sheet = WaitForSheet(program);
        return sheet != nullptr &&
                       WaitForActivePageWith(sheet, IDC_WELCOME_TITLE, kWindowTimeout) != nullptr
                   ? sheet
                   : nullptr;
    }
};

TEST_F(SetupExe, QuietRunWithoutMixerEndsWithBadUnitAndNoMessageBox) {
    for (const char* arguments : {"-quiet", "-quiet -usbtest"}) {
        SCOPED_TRACE(arguments);
        RunningProgram program(SetupPath(), arguments);
        ASSERT_TRUE(program.Started());
        long exitCode = -1;
        EXPECT_FALSE(ShowsMessageBoxUntilExit(program, exitCode));
        EXPECT_EQ(exitCode, ERROR_BAD_UNIT);
        // Nothing of the run is left on the screen.
        EXPECT_EQ(program.FindDialog(ProgramString(IDS_CAPTION)), nullptr);
    }
}

// The log an administrator asks for: in a folder whose name holds spaces and another switch, which
// turns nothing on; the program, the system under Wine, each page and the outcome with its code
// and text. A log that cannot be made is said to no one in a quiet run, and changes nothing.
TEST_F(SetupExe, QuietRunWritesTheLogItIsAskedFor) {
    const std::string folder = WinePath(DOWNLOADS_DIR) + "\\My Logs -usbtest";
    CreateDirectoryA(WinePath(DOWNLOADS_DIR).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\setup run.log";
    DeleteFileA(path.c_str());
    for (const std::string& log : {path, std::string("C:\\no such folder\\run.log")}) {
        RunningProgram program(SetupPath(), "-quiet -log=\"" + log + "\"");
        ASSERT_TRUE(program.Started());
        long exitCode = -1;
        EXPECT_FALSE(ShowsMessageBoxUntilExit(program, exitCode)) << log;
        EXPECT_EQ(exitCode, ERROR_BAD_UNIT) << log;
    }
    std::ifstream file(path);
    std::vector<std::string> events;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        events.push_back(line.substr(line.find(' ') + 1));
    }
    ASSERT_EQ(events.size(), 12u);
    EXPECT_EQ(events[0].rfind("program setup.exe 1.0.0 (commit ", 0), 0u) << events[0];
    EXPECT_EQ(events[1].rfind("system Windows ", 0), 0u) << events[1];
    EXPECT_NE(events[1].find(" under Wine "), std::string::npos) << events[1];
    // The system's own words for the code, whatever its language, on the log's one line.
    std::string words = SystemText(ERROR_BAD_UNIT);
    words.erase(words.find_last_not_of("\r\n ") + 1);
    const std::string noMixer = "20 " + words;
    EXPECT_EQ(std::vector<std::string>(events.begin() + 2, events.end()),
              (std::vector<std::string>{
                  "command-line -quiet -log=\"" + path + "\"",
                  "page welcome",
                  "button Next on welcome",
                  "page update",
                  "mixer not found in update mode",
                  "outcome " + noMixer,
                  "button Next on update",
                  "page finish",
                  "button Finish on finish",
                  "exit-code " + noMixer,
              }));
}

// Asked for a log it cannot make, the wizard says so in a box before it starts, and then runs as it
// would have without one.
TEST_F(SetupExe, ALogThatCannotBeMadeIsToldBeforeTheWizardRunsOn) {
    const std::string log = "C:\\no such folder\\run.log";
    RunningProgram program(SetupPath(), "-log=\"" + log + "\"");
    ASSERT_TRUE(program.Started());
    const HWND box = program.WaitForDialog(kMessageBoxCaption, kWindowTimeout);
    ASSERT_NE(box, nullptr);
    const std::string told = ProgramString(IDS_LOG_NOT_WRITTEN) + "\r\n\r\n" + log + ": ";
    bool said = false;
    for (const std::string& text : StaticTexts(box)) {
        said = said || text.rfind(told, 0) == 0;
    }
    EXPECT_TRUE(said) << told;
    EXPECT_EQ(program.FindDialog(ProgramString(IDS_CAPTION)), nullptr);
    ASSERT_TRUE(ClickButton(box, IDOK));
    const HWND sheet = WaitForWelcomePage(program);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(ClickButton(sheet, IDCANCEL));
    EXPECT_EQ(program.WaitForExit(kExitTimeout), ERROR_CANCELLED);
}

// Windows looks for a DLL beside the program before the system folder unless the DLL is a KnownDLL,
// and setup.exe runs from wherever it was downloaded to. Copies of hid.dll and winmm.dll left there
// must never be loaded, neither as the program's own imports nor by the system's DLLs for it.
TEST_F(SetupExe, DllsPlantedBesideItAreNeverLoaded) {
    // Where a DLL of Wine's own loads hid or winmm, Wine takes its own unless told to prefer a copy
    // it finds first, as Windows does (tests/windows/CMakeLists.txt).
    char overrides[64] = {};
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    ASSERT_STREQ(overrides, "hid,winmm=n,b");

    const std::string folder = WinePath(DOWNLOADS_DIR);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = folder + "\\setup.exe";
    ASSERT_TRUE(CopyFileA(SetupPath().c_str(), program.c_str(), FALSE));
    // That the copies leave their marker when loaded is shown in tests/platform
    // (PlantedOnTheSearchPath); a load of them here would meet this process's own winmm.
    for (const char* dll : kPlantedDlls) {
        const std::string planted = folder + "\\" + dll;
        ASSERT_TRUE(CopyFileA(PlantedDll(dll).c_str(), planted.c_str(), FALSE)) << dll;
        DeleteFileA(MarkerOf(planted).c_str());
    }

    RunningProgram run(program, "-quiet");
    ASSERT_TRUE(run.Started());
    EXPECT_EQ(run.WaitForExit(kExitTimeout), ERROR_BAD_UNIT);
    for (const char* dll : kPlantedDlls) {
        EXPECT_FALSE(FileExists(MarkerOf(folder + "\\" + dll))) << dll;
    }
}

TEST_F(SetupExe, CancelOnTheWelcomePageEndsWithCancelled) {
    RunningProgram program(SetupPath(), "");
    ASSERT_TRUE(program.Started());
    const HWND sheet = WaitForSheet(program);
    ASSERT_NE(sheet, nullptr);
    const HWND welcome = WaitForActivePageWith(sheet, IDC_WELCOME_TITLE, kWindowTimeout);
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(welcome, IDC_WELCOME_TITLE)),
              "Welcome to the Corvena(TM) Firmware Update Wizard");
    // Only forward: no Back, no close box.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(sheet, ID_WIZBACK)));
    EXPECT_EQ(GetWindowLongA(sheet, GWL_STYLE) & WS_SYSMENU, 0);
    Sleep(500);  // let the page finish drawing
    EXPECT_TRUE(SaveScreenshot({sheet}, "welcome"));

    ASSERT_TRUE(ClickButton(sheet, IDCANCEL));
    EXPECT_EQ(program.WaitForExit(kExitTimeout), ERROR_CANCELLED);
}

TEST_F(SetupExe, MixerNotConnectedIsAskedAndShownOnTheFinishPage) {
    RunningProgram program(SetupPath(), "");
    ASSERT_TRUE(program.Started());
    const HWND sheet = WaitForWelcomePage(program);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(ClickButton(sheet, ID_WIZNEXT));

    // The update page asks the person to connect the mixer, in a box owned by the wizard.
    const HWND box = program.WaitForDialog(kMessageBoxCaption, kWindowTimeout);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), sheet);
    bool saysNotConnected = false;
    for (const std::string& text : StaticTexts(box)) {
        saysNotConnected = saysNotConnected || text == ProgramString(IDS_NOT_CONNECTED);
    }
    EXPECT_TRUE(saysNotConnected);
    const HWND updatePage = ActivePageWith(sheet, IDC_PROGRESS);
    ASSERT_NE(updatePage, nullptr);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, IDCANCEL)));
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot({sheet, box}, "update"));
    ASSERT_TRUE(ClickButton(box, IDOK));

    const HWND finish = WaitForActivePageWith(sheet, IDC_FINISH_TITLE, kWindowTimeout);
    ASSERT_NE(finish, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(finish, IDC_FINISH_TITLE)), "Firmware Update Failed");
    const std::string systemText = SystemText(ERROR_BAD_UNIT);
    EXPECT_FALSE(systemText.empty());
    EXPECT_EQ(WindowText(GetDlgItem(finish, IDC_FINISH_TEXT)),
              ProgramString(IDS_UPDATE_FAILED_TEXT) + systemText);
    EXPECT_EQ(WindowText(GetDlgItem(finish, IDC_FINISH_FOOTER)),
              "To close this wizard, click Finish.");
    EXPECT_EQ(WindowText(GetDlgItem(sheet, ID_WIZFINISH)), "&Finish");
    // The sheet kept its caption through the pages, which have none of their own.
    EXPECT_EQ(WindowText(sheet), ProgramString(IDS_CAPTION));
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot({sheet}, "finish"));

    ASSERT_TRUE(ClickButton(sheet, ID_WIZFINISH));
    EXPECT_EQ(program.WaitForExit(kExitTimeout), ERROR_BAD_UNIT);
}

// One wizard at a time: a second one, while the first shows its welcome page, tells the person in
// a box of its own (quiet, it says nothing) and ends with its own code; the first goes on.
TEST_F(SetupExe, ASecondWizardTellsThePersonAndEnds) {
    RunningProgram first(SetupPath(), "");
    ASSERT_TRUE(first.Started());
    const HWND sheet = WaitForWelcomePage(first);
    ASSERT_NE(sheet, nullptr);

    RunningProgram quiet(SetupPath(), "-quiet");
    long exitCode = -1;
    EXPECT_FALSE(ShowsMessageBoxUntilExit(quiet, exitCode));
    EXPECT_EQ(exitCode, ERROR_SINGLE_INSTANCE_APP);

    RunningProgram second(SetupPath(), "");
    const HWND box = second.WaitForDialog(kMessageBoxCaption, kWindowTimeout);
    ASSERT_NE(box, nullptr);
    const std::vector<std::string> texts = StaticTexts(box);
    EXPECT_NE(std::find(texts.begin(), texts.end(), ProgramString(IDS_ANOTHER_UPDATE)),
              texts.end());
    EXPECT_EQ(second.FindDialog(ProgramString(IDS_CAPTION)), nullptr);
    ASSERT_TRUE(ClickButton(box, IDOK));
    EXPECT_EQ(second.WaitForExit(kExitTimeout), ERROR_SINGLE_INSTANCE_APP);

    ASSERT_TRUE(ClickButton(sheet, IDCANCEL));
    EXPECT_EQ(first.WaitForExit(kExitTimeout), ERROR_CANCELLED);
}

}  // namespace
