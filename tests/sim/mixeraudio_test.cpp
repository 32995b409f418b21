// The mixer's test signal as a capture from its wave device records it: when it starts after
// "UATE", how it continues from capture to capture, silence after "UATD", and the signal and
// capture faults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/mixerids.h"
#include "device/testsignal.h"
#include "device/vantorhid.h"
#include "platform/portable/duecaptures.h"
#include "tests/support/simulatedsystem.h"

namespace {

constexpr DWORD kFramesPerMs = 48;

// The mixer's capture device: the one whose interface name is the mixer's audio function's.
UINT MixersCaptureDevice() {
    for (UINT id = 0; id < waveInGetNumDevs(); ++id) {
        WCHAR name[512] = {};
        if (waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(id)),
                          DRV_QUERYDEVICEINTERFACE, reinterpret_cast<DWORD_PTR>(name),
                          sizeof name) == MMSYSERR_NOERROR &&
            std::u16string(name).find(u"pid_0801&mi_01") != std::u16string::npos) {
            return id;
        }
    }
    ADD_FAILURE() << "the mixer has no capture device";
    return 0;
}

struct Capture {
    MMRESULT failed = MMSYSERR_NOERROR;  // the first call that refused, if any
    bool done = false;
    DWORD startedAt = 0;
    std::vector<WORD> left, right;
};

// Captures `ms` of 48 kHz 16-bit stereo from the mixer's device, waiting on the virtual clock.
Capture CaptureFromMixer(DWORD ms) {
    Capture capture;
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
    HWAVEIN wave = nullptr;
    capture.failed = waveInOpen(&wave, MixersCaptureDevice(), &format, 0, 0, CALLBACK_NULL);
    if (capture.failed != MMSYSERR_NOERROR) {
        return capture;
    }
    std::vector<BYTE> buffer(ms * kFramesPerMs * 4);
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(buffer.data());
    header.dwBufferLength = static_cast<DWORD>(buffer.size());
    const bool prepared =
        (capture.failed = waveInPrepareHeader(wave, &header, sizeof header)) == MMSYSERR_NOERROR;
    if (prepared && (capture.failed = waveInAddBuffer(wave, &header, sizeof header)) == 0) {
        capture.startedAt = timeGetTime();
        capture.failed = waveInStart(wave);
    }
    if (capture.failed == MMSYSERR_NOERROR) {
        Sleep(ms);
        portable::WaitForDueCaptures(timeGetTime());
        capture.done =
            (InterlockedCompareExchange(reinterpret_cast<LONG volatile*>(&header.dwFlags), 0, 0) &
             WHDR_DONE) != 0;
        waveInStop(wave);
    }
    waveInReset(wave);
    if (prepared) {
        waveInUnprepareHeader(wave, &header, sizeof header);
    }
    EXPECT_EQ(waveInClose(wave), MMSYSERR_NOERROR);
    for (std::size_t i = 0; capture.done && i + 3 < buffer.size(); i += 4) {
        capture.left.push_back(static_cast<WORD>(buffer[i] | buffer[i + 1] << 8));
        capture.right.push_back(static_cast<WORD>(buffer[i + 2] | buffer[i + 3] << 8));
    }
    return capture;
}

WORD StepsOn(WORD value, std::uint64_t steps) {
    for (std::uint64_t i = 0; i < steps % 65535; ++i) {
        value = NextTestSample(value);
    }
    return value;
}

// Frames from `from` on whose left sample is not the step after the one before.
std::vector<std::size_t> Breaks(const std::vector<WORD>& samples, std::size_t from) {
    std::vector<std::size_t> breaks;
    for (std::size_t frame = from + 1; frame < samples.size(); ++frame) {
        if (samples[frame] != NextTestSample(samples[frame - 1])) {
            breaks.push_back(frame);
        }
    }
    return breaks;
}

bool Silent(const Capture& capture) {
    for (std::size_t i = 0; i < capture.left.size(); ++i) {
        if (capture.left[i] != 0 || capture.right[i] != 0) {
            return false;
        }
    }
    return true;
}

TEST(MixerAudio, TheSignalStartsAfterUateAndRunsOnUntilUatd) {
    SimulatedSystem system;
    CVantorHid mixer(VENDOR_ID, PRODUCT_ID_RUN, 0);
    ASSERT_TRUE(mixer.SendCommand("UATE"));
    const Capture first = CaptureFromMixer(1000);
    ASSERT_TRUE(first.done);
    // Silence first, then the sequence from its seed, within 500 ms, on both channels alike.
    std::size_t start = 0;
    while (start < first.left.size() && first.left[start] == 0) {
        ++start;
    }
    EXPECT_LE(start, 500 * kFramesPerMs);
    EXPECT_GE(start, 100 * kFramesPerMs);
    ASSERT_LT(start, first.left.size());
    EXPECT_EQ(first.left[start], sim::AudioConfig{}.signalSeed);
    EXPECT_TRUE(Breaks(first.left, start).empty());
    EXPECT_EQ(first.left, first.right);

    // A later capture finds the sequence as far on as the clock is.
    Sleep(37);
    const Capture second = CaptureFromMixer(100);
    ASSERT_TRUE(second.done);
    const std::uint64_t steps =
        std::uint64_t{second.startedAt - first.startedAt} * kFramesPerMs - (first.left.size() - 1);
    EXPECT_EQ(second.left[0], StepsOn(first.left.back(), steps));
    EXPECT_TRUE(Breaks(second.left, 0).empty());

    ASSERT_TRUE(mixer.SendCommand("UATD"));
    EXPECT_TRUE(Silent(CaptureFromMixer(200)));
    const std::vector<std::string> transcript = system.Mixer().GetTranscript();
    EXPECT_EQ(std::vector<std::string>(transcript.begin() + 1, transcript.begin() + 4),
              (std::vector<std::string>{"set F0 UATE", "audio: start", "audio: stop"}));
    EXPECT_EQ(transcript.end()[-3], "set F0 UATD");
}

TEST(MixerAudio, SignalFaultsShowInTheCapture) {
    struct Case {
        const char* what;
        void (*set)(sim::AudioConfig&);
    } const cases[] = {
        {"silence", [](sim::AudioConfig& a) { a.silence = true; }},
        {"drop", [](sim::AudioConfig& a) { a.dropFrameAt = 1000; }},
        {"repeat", [](sim::AudioConfig& a) { a.repeatFrameAt = 1000; }},
        {"channels", [](sim::AudioConfig& a) { a.channelsDiffer = true; }},
    };
    for (const Case& c : cases) {
        sim::SimConfig config;
        c.set(config.audio);
        SimulatedSystem system(config);
        CVantorHid mixer(VENDOR_ID, PRODUCT_ID_RUN, 0);
        ASSERT_TRUE(mixer.SendCommand("UATE"));
        Sleep(500);
        const Capture capture = CaptureFromMixer(1000);
        ASSERT_TRUE(capture.done) << c.what;
        const std::vector<std::size_t> breaks = Breaks(capture.left, 0);
        if (config.audio.silence) {
            EXPECT_TRUE(Silent(capture)) << c.what;
            continue;
        }
        ASSERT_NE(capture.left[0], 0) << c.what;
        if (config.audio.channelsDiffer) {
            EXPECT_TRUE(breaks.empty());
            for (std::size_t i = 0; i < capture.left.size(); ++i) {
                ASSERT_NE(capture.left[i], capture.right[i]) << i;
            }
            continue;
        }
        EXPECT_EQ(capture.left, capture.right) << c.what;
        EXPECT_EQ(breaks, std::vector<std::size_t>{1000}) << c.what;
        const WORD before = capture.left[999];
        EXPECT_EQ(capture.left[1000], config.audio.dropFrameAt == 1000
                                          ? NextTestSample(NextTestSample(before))
                                          : before)
            << c.what;
    }
}

TEST(MixerAudio, CaptureFaultsAreTheDriversAnswers) {
    struct Case {
        UINT sim::AudioConfig::*field;
        UINT result;
    } const cases[] = {
        {&sim::AudioConfig::openResult, MMSYSERR_ALLOCATED},
        {&sim::AudioConfig::prepareResult, MMSYSERR_NOMEM},
        {&sim::AudioConfig::addResult, WAVERR_SYNC},
        {&sim::AudioConfig::startResult, MMSYSERR_NODRIVER},
    };
    for (const Case& c : cases) {
        sim::SimConfig config;
        config.audio.*c.field = c.result;
        SimulatedSystem system(config);
        EXPECT_EQ(CaptureFromMixer(10).failed, c.result);
    }
    sim::SimConfig config;
    config.audio.bufferNeverCompletes = true;
    SimulatedSystem system(config);
    const Capture capture = CaptureFromMixer(1500);
    EXPECT_EQ(capture.failed, MMSYSERR_NOERROR);
    EXPECT_FALSE(capture.done);
}

}  // namespace
