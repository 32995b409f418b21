// setup.exe updating the simulated mixer under Wine: the unchanged program finds the virtual mixer
// through Wine's own HID stack (winebus over hidraw, hidclass, hid.dll, setupapi), updates it, sees
// it restart, and shows what happened on the real common controls. Each case runs inside
// scripts/with-virtual-mixer with the simulator options that tests/windows/CMakeLists.txt gives it;
// the mixer's transcript is the file that VANTOR_TRANSCRIPT names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/frameworkids.h"
#include "resources/resource.h"
#include "tests/windows/runningprogram.h"
#include "tests/windows/screenshot.h"
#include "tests/windows/setupprogram.h"

namespace {

constexpr DWORD kWindowTimeout = 60000;
// A whole update through FUSE and Wine's driver process takes about a minute; a loaded machine may
// take several.
constexpr DWORD kRunTimeout = 15 * 60 * 1000;
const std::string kSecondMixer = " (mixer 2)";

// What a whole update from application mode leaves in the first mixer's transcript, in short: the
// shipped images' 2,606 code and 11,289 logic blocks, each pass written and verified.
const std::vector<std::string> kUpdateFromApplicationMode = {
    "plug 0CA8:0801", "EFWU",        "unplug 0CA8:0801",
    "plug 0CA8:0804", "ERFW",        "BLFW",
    "WRFW",           "2606 blocks", "WRFI",
    "VFFW",           "2606 blocks", "VFFI",
    "ERFP",           "WRFP",        "11289 blocks",
    "WFPI",           "VFFP",        "11289 blocks",
    "VFPI",           "BOOT",        "unplug 0CA8:0804",
    "plug 0CA8:0801"};

// The first mixer's transcript in short (Summary) from the start of a run in application mode up to
// the mixer's arrival in update mode, followed by `rest`.
std::vector<std::string> FromUpdateMode(std::initializer_list<std::string> rest) {
    std::vector<std::string> lines(kUpdateFromApplicationMode.begin(),
                                   kUpdateFromApplicationMode.begin() + 4);
    lines.insert(lines.end(), rest);
    return lines;
}

std::vector<std::string> Transcript() {
    const char* path = std::getenv("VANTOR_TRANSCRIPT");
    std::vector<std::string> lines;
    if (path == nullptr) {
        ADD_FAILURE() << "VANTOR_TRANSCRIPT names no transcript";
        return lines;
    }
    std::ifstream file(WinePath(path));
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The first mixer's transcript from line `from` on, in short: bus events as they are, commands by
// their code, a run of data blocks as "N blocks", failed transfers whole; status reads left out.
std::vector<std::string> Summary(const std::vector<std::string>& lines, std::size_t from = 0) {
    std::vector<std::string> summary;
    unsigned blocks = 0;
    for (std::size_t i = from; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const bool failed = line.find(" failed ") != std::string::npos;
        if (EndsWith(line, kSecondMixer)) {
            continue;
        }
        if (line.rfind("set F1 ", 0) == 0 && !failed) {
            ++blocks;
            continue;
        }
        if (line.rfind("get ", 0) == 0 && !failed) {
            continue;
        }
        if (blocks != 0) {
            summary.push_back(std::to_string(blocks) + " blocks");
            blocks = 0;
        }
        if (failed) {
            summary.push_back(line);
        } else if (line.rfind("set F0 ", 0) == 0) {
            summary.push_back(line.substr(7));
        } else {
            summary.push_back(line);
        }
    }
    if (blocks != 0) {
        summary.push_back(std::to_string(blocks) + " blocks");
    }
    return summary;
}

// Waits, at most for a whole run, until the transcript has a line that begins with `start`.
bool WaitForTranscriptLine(const std::string& start) {
    for (DWORD waited = 0; waited < kRunTimeout; waited += 100) {
        for (const std::string& line : Transcript()) {
            if (line.rfind(start, 0) == 0) {
                return true;
            }
        }
        Sleep(100);
    }
    return false;
}

long RunQuietly(const std::string& switches) {
    RunningProgram program(SetupPath(), switches);
    EXPECT_TRUE(program.Started());
    return program.WaitForExit(kRunTimeout);
}

class VirtualMixer : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(ProgramString(IDS_CAPTION).empty()) << SetupPath(); }

    // Starts the wizard, passes the welcome page and returns the sheet, on the update page.
    HWND StartUpdate(RunningProgram& program) {
        const HWND sheet = program.WaitForDialog(ProgramString(IDS_CAPTION), kWindowTimeout);
        if (sheet == nullptr ||
            WaitForActivePageWith(sheet, IDC_WELCOME_TITLE, kWindowTimeout) == nullptr ||
            !ClickButton(sheet, ID_WIZNEXT) ||
            WaitForActivePageWith(sheet, IDC_PROGRESS, kWindowTimeout) == nullptr) {
            return nullptr;
        }
        return sheet;
    }

    // The finish page of a failed update: its texts name `error` in the system's words, and Finish
    // ends the program with it.
    void ExpectFailureShown(RunningProgram& program, HWND sheet, long error,
                            const std::string& picture) {
        const HWND finish = WaitForActivePageWith(sheet, IDC_FINISH_TITLE, kRunTimeout);
        ASSERT_NE(finish, nullptr);
        EXPECT_EQ(WindowText(GetDlgItem(finish, IDC_FINISH_TITLE)),
                  ProgramString(IDS_UPDATE_FAILED_TITLE));
        const std::string systemText = SystemText(static_cast<DWORD>(error));
        EXPECT_FALSE(systemText.empty()) << error;
        EXPECT_EQ(WindowText(GetDlgItem(finish, IDC_FINISH_TEXT)),
                  ProgramString(IDS_UPDATE_FAILED_TEXT) + systemText);
        if (!picture.empty()) {
            Sleep(500);
            EXPECT_TRUE(SaveScreenshot({sheet}, picture));
        }
        ASSERT_TRUE(ClickButton(sheet, ID_WIZFINISH));
        EXPECT_EQ(program.WaitForExit(kWindowTimeout), error);
    }
};

// A second wizard started while the first writes the code ends at once with its own code, and the
// first updates the mixer alone (its flash is checked after the run).
TEST_F(VirtualMixer, QuietUpdateOfTheFirstOfTwoMixers) {
    RunningProgram first(SetupPath(), "-quiet");
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForTranscriptLine("set F1 "));
    EXPECT_EQ(RunQuietly("-quiet"), ERROR_SINGLE_INSTANCE_APP);
    EXPECT_EQ(first.WaitForExit(kRunTimeout), 0);
    const std::vector<std::string> lines = Transcript();
    EXPECT_EQ(Summary(lines), kUpdateFromApplicationMode);
    // The second mixer was there all along and was never spoken to.
    std::vector<std::string> second;
    for (const std::string& line : lines) {
        if (EndsWith(line, kSecondMixer)) {
            second.push_back(line);
        }
    }
    EXPECT_EQ(second, std::vector<std::string>{"plug 0CA8:0801" + kSecondMixer});
}

TEST_F(VirtualMixer, UpdateClickedThroughShowsItsProgressAndSuccess) {
    RunningProgram program(SetupPath(), "");
    ASSERT_TRUE(program.Started());
    const HWND sheet = StartUpdate(program);
    ASSERT_NE(sheet, nullptr);
    const HWND page = ActivePageWith(sheet, IDC_PROGRESS);
    const HWND progress = GetDlgItem(page, IDC_PROGRESS);
    const HWND finishButton = GetDlgItem(sheet, ID_WIZFINISH);

    // The bar's position as a person watches it, until the finish page replaces the update page.
    std::vector<long> positions;
    bool busyPictured = false;
    bool progressPictured = false;
    // Finish may show as the finish page takes over, never while the update still runs: not before
    // the last position, nor before the mixer is back from its restart.
    std::size_t positionsWhenFinishUsable = 0;
    unsigned samplesWithFinishUsable = 0;
    std::string transcriptEndWhenFinishUsable;
    while (ActivePageWith(sheet, IDC_FINISH_TITLE) == nullptr) {
        ASSERT_EQ(program.WaitForExit(20), -1) << "the program ended on the update page";
        DWORD_PTR position = 0;
        if (ActivePageWith(sheet, IDC_PROGRESS) != page ||
            !SendMessageTimeoutA(progress, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &position)) {
            continue;
        }
        if (positions.empty() || static_cast<long>(position) != positions.back()) {
            positions.push_back(static_cast<long>(position));
        }
        if (IsWindowVisible(finishButton) && IsWindowEnabled(finishButton)) {
            if (samplesWithFinishUsable++ == 0) {
                positionsWhenFinishUsable = positions.size();
                const std::vector<std::string> lines = Transcript();
                transcriptEndWhenFinishUsable = lines.empty() ? "" : lines.back();
            }
        }
        if (!busyPictured && IsWindowVisible(GetDlgItem(page, IDC_ANIMATE))) {
            busyPictured = true;
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, IDCANCEL)));
            EXPECT_TRUE(SaveScreenshot({sheet}, "mixer-busy"));
        }
        if (!progressPictured && position >= 25 && position <= 40) {
            progressPictured = true;
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, ID_WIZNEXT)));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, IDCANCEL)));
            EXPECT_TRUE(SaveScreenshot({sheet}, "mixer-update"));
        }
    }
    if (samplesWithFinishUsable != 0) {
        EXPECT_EQ(positionsWhenFinishUsable, positions.size()) << "Finish usable during the update";
        EXPECT_EQ(transcriptEndWhenFinishUsable, "plug 0CA8:0801") << "Finish usable too soon";
    }
    ASSERT_FALSE(positions.empty());
    // From the empty bar to half of 182, where the shipped images' logic pass ends.
    EXPECT_LE(positions.front(), 5);
    EXPECT_EQ(positions.back(), 91);
    EXPECT_GE(positions.size(), 20u);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_TRUE(progressPictured);

    const HWND finish = ActivePageWith(sheet, IDC_FINISH_TITLE);
    EXPECT_EQ(WindowText(GetDlgItem(finish, IDC_FINISH_TITLE)), "Firmware Update Complete");
    EXPECT_EQ(WindowText(GetDlgItem(finish, IDC_FINISH_TEXT)),
              "The Vantor firmware was successfully updated.");
    EXPECT_EQ(WindowText(GetDlgItem(finish, IDC_FINISH_FOOTER)),
              "To close this wizard, click Finish.");
    EXPECT_EQ(WindowText(finishButton), "&Finish");
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot({sheet}, "mixer-success"));
    ASSERT_TRUE(ClickButton(sheet, ID_WIZFINISH));
    EXPECT_EQ(program.WaitForExit(kWindowTimeout), 0);
    EXPECT_EQ(Summary(Transcript()), kUpdateFromApplicationMode);
}

// The mixer answers "ERFW" with status 2: the wizard gives up with ERROR_GEN_FAILURE and restarts
// the mixer, which comes back in update mode, its code image not verified.
TEST_F(VirtualMixer, WrongStatusOfACommandShowsTheFailure) {
    RunningProgram program(SetupPath(), "");
    const HWND sheet = StartUpdate(program);
    ASSERT_NE(sheet, nullptr);
    ExpectFailureShown(program, sheet, ERROR_GEN_FAILURE, "mixer-failed");
    EXPECT_EQ(Summary(Transcript()),
              FromUpdateMode({"ERFW", "BOOT", "unplug 0CA8:0804", "plug 0CA8:0804"}));
}

// The tenth data block fails on the wire (EIO from hidraw). Wine's HID driver reports every failed
// transfer as STATUS_UNSUCCESSFUL, which reaches the program as ERROR_GEN_FAILURE; Windows would
// give ERROR_IO_DEVICE, as setup-sim does.
TEST_F(VirtualMixer, FailingDataBlockShowsTheFailure) {
    RunningProgram program(SetupPath(), "");
    const HWND sheet = StartUpdate(program);
    ASSERT_NE(sheet, nullptr);
    ExpectFailureShown(program, sheet, ERROR_GEN_FAILURE, "");
    EXPECT_EQ(Summary(Transcript()),
              FromUpdateMode({"ERFW", "BLFW", "WRFW", "9 blocks", "set F1 540 failed 1117", "BOOT",
                              "unplug 0CA8:0804", "plug 0CA8:0804"}));
}

// The mixer leaves the bus for good as the thousandth block of the code image goes on the wire:
// that block's transfer fails (ENODEV), which Wine reports as ERROR_GEN_FAILURE; Windows would give
// ERROR_DEVICE_NOT_CONNECTED. The closing "BOOT" finds no mixer either, or, once Wine has seen its
// node go, is refused by Wine before it reaches the mixer.
TEST_F(VirtualMixer, MixerUnpluggedInTheMiddleShowsTheFailure) {
    RunningProgram program(SetupPath(), "");
    const HWND sheet = StartUpdate(program);
    ASSERT_NE(sheet, nullptr);
    ExpectFailureShown(program, sheet, ERROR_GEN_FAILURE, "");

    const std::vector<std::string> summary = Summary(Transcript());
    const std::vector<std::string> start = {"plug 0CA8:0801",
                                            "EFWU",
                                            "unplug 0CA8:0801",
                                            "plug 0CA8:0804",
                                            "ERFW",
                                            "BLFW",
                                            "WRFW",
                                            "999 blocks",
                                            "unplug 0CA8:0804",
                                            "set F1 59940 failed 1167"};
    ASSERT_GE(summary.size(), start.size());
    EXPECT_EQ(std::vector<std::string>(summary.begin(), summary.begin() + start.size()), start);
    // Nothing reached the mixer after it left, and it never came back.
    for (auto it = summary.begin() + start.size(); it != summary.end(); ++it) {
        EXPECT_TRUE(EndsWith(*it, " failed 1167")) << *it;
    }
}

// After the person plugs the mixer in again, still in update mode, a new run updates it without
// sending it "EFWU".
TEST_F(VirtualMixer, RunAfterTheReplugFinishesTheUpdate) {
    EXPECT_EQ(RunQuietly("-quiet"), 0);
    const std::vector<std::string> lines = Transcript();
    std::size_t replug = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "unplug 0CA8:0804") {
            replug = i + 1;
            break;
        }
    }
    std::vector<std::string> expected = {"plug 0CA8:0804"};
    expected.insert(expected.end(), kUpdateFromApplicationMode.begin() + 4,
                    kUpdateFromApplicationMode.end());
    std::vector<std::string> summary = Summary(lines, replug);
    // The first run's refused transfers before the replug.
    summary.erase(summary.begin(), std::find(summary.begin(), summary.end(), "plug 0CA8:0804"));
    EXPECT_EQ(summary, expected);
}

TEST_F(VirtualMixer, DanteCounterGrowingByOnePasses) {
    EXPECT_EQ(RunQuietly("-quiet -dantetestonly"), 0);
    EXPECT_EQ(Summary(Transcript()), (std::vector<std::string>{"plug 0CA8:0801", "GECF", "GECF"}));
}

TEST_F(VirtualMixer, DanteCounterGrowingByThreeFails) {
    EXPECT_EQ(static_cast<DWORD>(RunQuietly("-quiet -dantetestonly")), 0x80100013u);
    EXPECT_EQ(Summary(Transcript()), (std::vector<std::string>{"plug 0CA8:0801", "GECF", "GECF"}));
}

TEST_F(VirtualMixer, DantePortNotConnectedFails) {
    EXPECT_EQ(RunQuietly("-quiet -dantetestonly"), ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(Summary(Transcript()), (std::vector<std::string>{"plug 0CA8:0801", "GECF"}));
}

// Wine hangs a hidraw device under its own bus driver's node, not under a USB composite device
// with an audio function beside it: climbing from the HID node to the USB device runs out of
// parents, and the test ends where the mixer's capture device is looked for, with
// ERROR_INVALID_DATA, after switching the test signal on and off again.
TEST_F(VirtualMixer, UsbTestFindsNoCaptureDeviceOfTheMixer) {
    EXPECT_EQ(RunQuietly("-quiet -usbtestonly"), ERROR_INVALID_DATA);
    EXPECT_EQ(Summary(Transcript()), (std::vector<std::string>{"plug 0CA8:0801", "UATE", "UATD"}));
}

}  // namespace
