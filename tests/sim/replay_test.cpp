// A recorded run as the simulated mixer: the log read back, and each transfer answered as
// recorded until the first one that differs, which is named with both sides.
#include "sim/replay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "device/mixerids.h"
#include "sim/simconfig.h"
#include "tests/support/simulatedsystem.h"

namespace {

constexpr std::size_t kReportLength = 65;

std::vector<BYTE> Report(BYTE reportId, const std::string& head) {
    std::vector<BYTE> report(kReportLength, 0);
    report[0] = reportId;
    std::copy(head.begin(), head.end(), report.begin() + 1);
    return report;
}

std::vector<BYTE> Command(const char* code) {
    return Report(0xF0, code);
}

std::vector<BYTE> Status(DWORD word) {
    return Report(0xF0, {static_cast<char>(word >> 24), static_cast<char>(word >> 16),
                         static_cast<char>(word >> 8), static_cast<char>(word)});
}

std::vector<BYTE> Shortened(std::vector<BYTE> report) {
    report.pop_back();
    return report;
}

std::vector<BYTE> Block(char fill) {
    return Report(0xF1, std::string(60, fill));
}

std::string Hex(const std::vector<BYTE>& bytes) {
    std::string text;
    for (const BYTE b : bytes) {
        text += runlog::Hex(b, 2);
    }
    return text;
}

std::string Set(const std::vector<BYTE>& report, DWORD result = 0) {
    return "transfer set " + runlog::Hex(report[0], 2) + " " + std::to_string(result) + " " +
           Hex(report);
}

std::string Got(const std::vector<BYTE>& report) {
    return "transfer get F0 0 " + Hex(report);
}

std::string GetFailed(DWORD result) {
    return "transfer get F0 " + std::to_string(result) + " -";
}

std::string Found(const char* product, const char* version, const char* serial) {
    return std::string("found vendor=0CA8 product=") + product + " version=" + version +
           " serial=\"" + serial + "\" path=\\\\?\\hid#vid_0ca8";
}

// A log of the given events, each after a time, among events the replay passes over.
std::string Log(const std::vector<std::string>& events) {
    std::string log = "0 program setup-sim 1.0.0 (commit 1a2b3c4)\n";
    unsigned ms = 10;
    for (const std::string& event : events) {
        log += std::to_string(ms) + " " + event + "\n";
        ms += 7;
    }
    return log + std::to_string(ms) + " outcome done\n";
}

struct Read {
    bool ok;
    std::string error;
    sim::Recording recording;
};

Read ReadLog(const std::string& text) {
    std::istringstream log(text);
    Read read{};
    read.ok = sim::ReadRecording(log, "run.log", &read.recording, &read.error);
    return read;
}

// With its lines in CR LF, as a log that passed through a Windows editor has them.
std::string WithCrLf(const std::string& log) {
    std::string crlf;
    for (const char c : log) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return crlf;
}

TEST(ReplayRecording, HoldsTheTransfersAndMixersInTheirOrderAndPassesOverTheRest) {
    const Read read =
        ReadLog(WithCrLf(Log({Found("0801", "2.14", "VT-7"), "page Welcome", Set(Command("EFWU")),
                              Found("0804", "1.02", "VT-7"), GetFailed(1167)}) +
                         "\n90 " + Got(Status(4)) + "\n95 button Next\n"));
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.recording.transfers.size(), 3u);
    EXPECT_EQ(read.recording.transfers[0],
              (runlog::TransferRecord{true, 0xF0, 0, Command("EFWU")}));
    EXPECT_EQ(read.recording.transfers[1], (runlog::TransferRecord{false, 0xF0, 1167, {}}));
    EXPECT_EQ(read.recording.transfers[2], (runlog::TransferRecord{false, 0xF0, 0, Status(4)}));
    ASSERT_EQ(read.recording.found.size(), 2u);
    EXPECT_EQ(read.recording.found[0].productId, PRODUCT_ID_RUN);
    EXPECT_EQ(read.recording.found[0].serial, "VT-7");
    EXPECT_EQ(read.recording.found[0].path, "\\\\?\\hid#vid_0ca8");
    EXPECT_EQ(read.recording.found[1].productId, PRODUCT_ID_UPDATE_ALT);
    EXPECT_EQ(read.recording.foundAfter, (std::vector<std::size_t>{0, 1}));
}

TEST(ReplayRecording, RefusesALogItCannotReplayAndSaysWhy) {
    const std::string transfer = "12 " + Set(Command("EFWU"));
    const struct {
        std::string log;
        std::string error;
    } cases[] = {
        {"", "run.log holds no transfers: record it with --log-transfers"},
        {Log({Found("0801", "2.14", "VT-7"), "page Welcome"}),
         "run.log holds no transfers: record it with --log-transfers"},
        {transfer + "\n" + transfer.substr(0, 40) + "\n", "run.log, line 2: not a whole transfer"},
        {transfer + "\n14 transfer set F0 0 F1\n", "run.log, line 2: not a whole transfer"},
        {transfer + "\n14 transfer put F0 0 F0\n", "run.log, line 2: not a whole transfer"},
        {transfer + "\n\n15 found vendor=0CA8 product=0801\n",
         "run.log, line 3: not a whole mixer found"},
        {"setup-sim log\n" + transfer + "\n",
         "run.log, line 1: not a line of a run log (milliseconds, then the event)"},
    };
    for (const auto& c : cases) {
        const Read read = ReadLog(c.log);
        EXPECT_FALSE(read.ok) << c.log;
        EXPECT_EQ(read.error, c.error) << c.log;
    }
}

TEST(ReplayRecording, AFileThatCannotBeReadIsNamedWithTheReason) {
    sim::Recording recording;
    std::string error;
    EXPECT_FALSE(sim::ReadRecording("/nonexistent/run.log", &recording, &error));
    EXPECT_EQ(error, "cannot read the log /nonexistent/run.log: No such file or directory");
    const std::string directory = testing::TempDir();
    EXPECT_FALSE(sim::ReadRecording(directory, &recording, &error));
    EXPECT_EQ(error, "cannot read the log " + directory);
}

TEST(ReplayRecording, TheMixerStartsAndRestartsAsTheMixersFound) {
    const struct {
        std::vector<std::string> found;
        sim::MixerStart start;
        WORD updateProductId;
    } cases[] = {
        {{Found("0801", "2.14", "A"), Found("0800", "1.02", "A")},
         sim::MixerStart::Application,
         PRODUCT_ID_UPDATE},
        {{Found("0801", "2.14", "A"), Found("0804", "1.02", "A"), Found("0800", "1.02", "A")},
         sim::MixerStart::Application,
         PRODUCT_ID_UPDATE_ALT},
        {{Found("0800", "1.02", "A")}, sim::MixerStart::Update, PRODUCT_ID_UPDATE},
        {{Found("0804", "1.02", "A"), Found("0801", "2.14", "A")},
         sim::MixerStart::UpdateAlt,
         PRODUCT_ID_UPDATE_ALT},
        {{}, sim::MixerStart::Absent, PRODUCT_ID_UPDATE_ALT},
    };
    for (const auto& c : cases) {
        std::vector<std::string> events = c.found;
        events.push_back(Set(Command("EFWU")));
        const Read read = ReadLog(Log(events));
        ASSERT_TRUE(read.ok) << read.error;
        sim::SimConfig config;
        sim::ConfigureReplay(std::make_shared<sim::Recording>(read.recording), &config);
        EXPECT_EQ(config.start, c.start) << events[0];
        EXPECT_EQ(config.updateProductId, c.updateProductId) << events[0];
        // The recorded status reads say when the mixer was busy; its restarts take their time.
        EXPECT_EQ((std::vector<DWORD>{config.timing.codeEraseMs, config.timing.logicEraseMs,
                                      config.timing.passEndMs, config.timing.logicBackupMs,
                                      config.timing.restartMs}),
                  (std::vector<DWORD>{0, 0, 0, 0, sim::SimTiming{}.restartMs}));
        EXPECT_NE(config.replay, nullptr);
    }
}

// The simulated system replaying a log, reached through the backend's channel as the stand-ins
// reach it.
class ReplayedMixer {
public:
    explicit ReplayedMixer(const std::vector<std::string>& events) {
        const Read read = ReadLog(Log(events));
        EXPECT_TRUE(read.ok) << read.error;
        sim::SimConfig config;
        sim::ConfigureReplay(std::make_shared<sim::Recording>(read.recording), &config);
        m_system = std::make_unique<SimulatedSystem>(config);
        Open();
    }

    // Opens the mixer as it is on the bus now.
    void Open() {
        const auto interfaces = Mixer().PresentInterfaces(portable::InterfaceClass::Hid);
        ASSERT_FALSE(interfaces.empty());
        ASSERT_EQ(Mixer().OpenHid(interfaces.back().path, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &m_channel),
                  ERROR_SUCCESS);
    }

    DWORD Set(const std::vector<BYTE>& report) {
        return m_channel->SetFeature(report.data(), report.size());
    }
    DWORD Get(std::vector<BYTE>* report, std::size_t length = kReportLength) {
        *report = Report(0xF0, "");
        report->resize(length);
        return m_channel->GetFeature(report->data(), report->size());
    }
    portable::HidDescription Describe() {
        portable::HidDescription description;
        EXPECT_EQ(m_channel->Describe(&description), ERROR_SUCCESS);
        return description;
    }
    sim::SimulatedVantor& Mixer() { return m_system->Mixer(); }

private:
    std::unique_ptr<SimulatedSystem> m_system;
    std::shared_ptr<portable::HidChannel> m_channel;
};

TEST(Replay, AnswersEachTransferAsRecordedFailuresAndBusyAnswersIncluded) {
    ReplayedMixer mixer({Found("0804", "1.02", "VT-7"), Set(Command("ERFW")), Got(Status(1)),
                         GetFailed(1117), Got(Status(0x2A)), Set(Command("WRFW"), 1117),
                         Set(Block('a')), Got(Status(4))});
    std::vector<BYTE> report;
    EXPECT_EQ(mixer.Set(Command("ERFW")), ERROR_SUCCESS);
    EXPECT_EQ(mixer.Get(&report), ERROR_SUCCESS);
    EXPECT_EQ(report, Status(1));
    EXPECT_EQ(mixer.Get(&report), ERROR_IO_DEVICE);
    EXPECT_EQ(mixer.Get(&report), ERROR_SUCCESS);
    EXPECT_EQ(report, Status(0x2A));
    EXPECT_EQ(mixer.Set(Command("WRFW")), ERROR_IO_DEVICE);
    // The failed "WRFW" never reached the mixer: the block comes outside a pass.
    EXPECT_EQ(mixer.Set(Block('a')), ERROR_SUCCESS);
    EXPECT_EQ(mixer.Get(&report), ERROR_SUCCESS);
    EXPECT_EQ(report, Status(4));
    EXPECT_EQ(mixer.Mixer().GetTranscript(),
              (std::vector<std::string>{"plug 0CA8:0804", "set F0 ERFW", "get F0 00000001",
                                        "get F0 failed 1117", "get F0 0000002A",
                                        "set F0 WRFW failed 1117", "set F1 -", "get F0 00000004"}));
    EXPECT_EQ(mixer.Mixer().GetReplayDifference(), "");
    EXPECT_EQ(mixer.Mixer().GetReplayUnasked(), "");
}

TEST(Replay, TheRecordedMixersVersionAndSerialAreShown) {
    ReplayedMixer mixer({Found("0804", "1.07", "VT-\\x229"), Set(Command("ERFW"))});
    const portable::HidDescription description = mixer.Describe();
    EXPECT_EQ(description.productId, PRODUCT_ID_UPDATE_ALT);
    EXPECT_EQ(description.versionNumber, 0x0107);
    EXPECT_EQ(description.serialNumber, std::u16string(u"VT-\"9"));
}

TEST(Replay, TheFirstTransferThatDiffersIsNamedWithBothSidesAndEverythingAfterItFails) {
    const struct {
        std::vector<BYTE> asked;
        std::string difference;
    } cases[] = {
        {Command("VFFW"),
         R"(replay: transfer 2 differs: recorded set F0 "VFFX" -> 0, asked set F0 "VFFW")"},
        {Block('a'),
         R"(replay: transfer 2 differs: recorded set F0 "VFFX" -> 0, asked set F1 data 61616161...)"},
        {Report(0xF0, "VFFXz"),
         R"(replay: transfer 2 differs: recorded set F0 "VFFX" -> 0, asked set F0 "VFFX"; byte 5: recorded 00, asked 7A)"},
        {Shortened(Command("VFFX")),
         R"(replay: transfer 2 differs: recorded set F0 "VFFX" -> 0, asked set F0 "VFFX"; recorded 65 bytes, asked 64)"},
    };
    for (const auto& c : cases) {
        ReplayedMixer mixer(
            {Found("0804", "1.02", "VT-7"), Set(Command("ERFW")), Set(Command("VFFX"))});
        EXPECT_EQ(mixer.Set(Command("ERFW")), ERROR_SUCCESS);
        EXPECT_EQ(mixer.Set(c.asked), ERROR_GEN_FAILURE);
        // Even the transfer that was recorded next is refused now.
        EXPECT_EQ(mixer.Set(Command("VFFX")), ERROR_GEN_FAILURE);
        EXPECT_EQ(mixer.Mixer().GetReplayDifference(), c.difference);
        EXPECT_EQ(mixer.Mixer().GetReplayUnasked(), "");
        const std::vector<std::string> transcript = mixer.Mixer().GetTranscript();
        ASSERT_EQ(transcript.size(), 5u);
        EXPECT_EQ(transcript[2], c.difference);
        EXPECT_EQ(transcript[4], "set F0 VFFX failed 31");
    }
}

TEST(Replay, AGetWhereASetWasRecordedDiffers) {
    ReplayedMixer mixer({Found("0804", "1.02", "VT-7"), Set(Command("ERFW"))});
    std::vector<BYTE> report;
    EXPECT_EQ(mixer.Get(&report), ERROR_GEN_FAILURE);
    EXPECT_EQ(mixer.Mixer().GetReplayDifference(),
              R"(replay: transfer 1 differs: recorded set F0 "ERFW" -> 0, asked get F0)");
}

TEST(Replay, AReadOfAnotherLengthDiffers) {
    ReplayedMixer mixer({Found("0804", "1.02", "VT-7"), Got(Status(4))});
    std::vector<BYTE> report;
    EXPECT_EQ(mixer.Get(&report, 64), ERROR_GEN_FAILURE);
    EXPECT_EQ(mixer.Mixer().GetReplayDifference(),
              "replay: transfer 1 differs: recorded get F0 status 00000004 -> 0, asked get F0; "
              "recorded 65 bytes, asked 64");
}

TEST(Replay, TheEndOfTheRecordingAndWhatARunLeftUnaskedAreNamed) {
    ReplayedMixer mixer({Found("0804", "1.02", "VT-7"), Set(Command("ERFW")), Got(Status(4))});
    EXPECT_EQ(mixer.Set(Command("ERFW")), ERROR_SUCCESS);
    EXPECT_EQ(mixer.Mixer().GetReplayUnasked(),
              "replay: the run ended before transfer 2 of 2: recorded get F0 status 00000004 -> 0");
    std::vector<BYTE> report;
    EXPECT_EQ(mixer.Get(&report), ERROR_SUCCESS);
    EXPECT_EQ(mixer.Mixer().GetReplayUnasked(), "");
    EXPECT_EQ(mixer.Set(Command("BOOT")), ERROR_GEN_FAILURE);
    EXPECT_EQ(
        mixer.Mixer().GetReplayDifference(),
        R"(replay: transfer 3 differs: the recording ends after 2 transfers, asked set F0 "BOOT")");
}

TEST(Replay, ARecordedDeviceNotConnectedPullsTheMixerOut) {
    ReplayedMixer mixer({Found("0804", "1.02", "VT-7"), Set(Block('a'), 1167), GetFailed(1167)});
    EXPECT_TRUE(mixer.Mixer().IsMixerPresent());
    EXPECT_EQ(mixer.Set(Block('a')), ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_FALSE(mixer.Mixer().IsMixerPresent());
    std::vector<BYTE> report;
    EXPECT_EQ(mixer.Get(&report), ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(mixer.Mixer().GetTranscript(),
              (std::vector<std::string>{"plug 0CA8:0804", "unplug 0CA8:0804",
                                        "set F1 - failed 1167", "get F0 failed 1167"}));
}

TEST(Replay, ARecordedEfwuRestartsTheMixerUnderTheRecordedUpdateIdentity) {
    ReplayedMixer mixer({Found("0801", "2.14", "VT-7"), Set(Command("EFWU")),
                         Found("0800", "1.02", "VT-7"), Set(Command("ERFW"))});
    EXPECT_EQ(mixer.Set(Command("EFWU")), ERROR_SUCCESS);
    EXPECT_FALSE(mixer.Mixer().IsMixerPresent());
    Sleep(sim::SimTiming{}.restartMs);
    EXPECT_TRUE(mixer.Mixer().IsMixerPresent());
    EXPECT_EQ(mixer.Mixer().GetMixerProductId(), PRODUCT_ID_UPDATE);
    mixer.Open();
    EXPECT_EQ(mixer.Describe().versionNumber, 0x0102);
    EXPECT_EQ(mixer.Set(Command("ERFW")), ERROR_SUCCESS);
    EXPECT_EQ(mixer.Mixer().GetTranscript(),
              (std::vector<std::string>{"plug 0CA8:0801", "set F0 EFWU", "unplug 0CA8:0801",
                                        "plug 0CA8:0800", "set F0 ERFW"}));
}

TEST(Replay, AMixerThatWasNotFoundAgainAfterEfwuDoesNotRestart) {
    ReplayedMixer mixer({Found("0801", "2.14", "VT-7"), Set(Command("EFWU")), "page finish"});
    EXPECT_EQ(mixer.Set(Command("EFWU")), ERROR_SUCCESS);
    Sleep(sim::SimTiming{}.restartMs);
    EXPECT_EQ(mixer.Mixer().GetTranscript(),
              (std::vector<std::string>{"plug 0CA8:0801", "set F0 EFWU"}));
}

TEST(Replay, AnEfwuRecordedAsFailedDoesNotRestartTheMixer) {
    ReplayedMixer mixer({Found("0801", "2.14", "VT-7"), Set(Command("EFWU"), 1117)});
    EXPECT_EQ(mixer.Set(Command("EFWU")), ERROR_IO_DEVICE);
    Sleep(sim::SimTiming{}.restartMs);
    EXPECT_EQ(mixer.Mixer().GetTranscript(),
              (std::vector<std::string>{"plug 0CA8:0801", "set F0 EFWU failed 1117"}));
}

}  // namespace
