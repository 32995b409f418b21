// The wave stand-ins keep the documented multimedia contracts: device counts and the drivers'
// interface queries with their size rule, the format check of waveInOpen, the header flags through
// prepare, queue, completion, stop, reset and close, and buffers that the audio thread fills when
// the process clock has moved far enough.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/portable/clock.h"
#include "platform/portable/devicebackend.h"
#include "platform/portable/duecaptures.h"
#include "platform/portable/wavein.h"
#include "platform/win32api.h"

namespace {

constexpr DWORD kBytesPerMs = 192;  // 48 kHz, 16-bit stereo

// A byte of the stream by its position, so that a misplaced byte shows.
BYTE StreamByte(std::uint64_t offset) {
    return static_cast<BYTE>(offset * 7 + 3);
}

class ScriptedCapture final : public portable::WaveCapture {
public:
    UINT Prepare() override { return MMSYSERR_NOERROR; }
    UINT Queue() override { return MMSYSERR_NOERROR; }
    UINT Start(DWORD) override { return MMSYSERR_NOERROR; }
    void Stop(DWORD) override { ++stops; }
    std::uint64_t Arrived(DWORD startedAt, DWORD now) override {
        const LONG elapsed = static_cast<LONG>(now - startedAt);
        return elapsed <= 0 ? 0 : std::uint64_t(elapsed) * kBytesPerMs;
    }
    void Read(DWORD, std::uint64_t offset, BYTE* data, std::size_t length) override {
        for (std::size_t i = 0; i < length; ++i) {
            data[i] = StreamByte(offset + i);
        }
    }

    std::atomic<int> stops{0};
};

// Capture devices: one that names its interface, one whose driver does not answer, and one whose
// name takes exactly 1,024 bytes; one playback device.
class ScriptedAudio final : public portable::DeviceBackend {
public:
    std::vector<portable::DeviceInterfaceEntry> PresentInterfaces(
        portable::InterfaceClass) override {
        return {};
    }
    bool ParentNode(DWORD, DWORD*) override { return false; }
    DWORD OpenHid(const std::string&, DWORD, DWORD,
                  std::shared_ptr<portable::HidChannel>*) override {
        return ERROR_FILE_NOT_FOUND;
    }
    bool InstallationPending() override { return false; }
    std::vector<portable::WaveDeviceEntry> WaveDevices(portable::WaveDirection direction) override {
        if (direction == portable::WaveDirection::Playback) {
            return {{u"\\\\?\\usb#out#{6994ad04}\\global"}};
        }
        return {{kName}, {std::nullopt}, {std::u16string(511, u'x')}};
    }
    UINT OpenWaveCapture(UINT, const portable::PcmFormat& format,
                         std::shared_ptr<portable::WaveCapture>* stream) override {
        opened = format;
        if (openResult == 0) {
            *stream = capture;
        }
        return openResult;
    }

    static constexpr const char16_t* kName =
        u"\\\\?\\usb#vid_0ca8&pid_0801&mi_01#7#{6994ad04}\\global";
    UINT openResult = 0;
    portable::PcmFormat opened;
    std::shared_ptr<ScriptedCapture> capture = std::make_shared<ScriptedCapture>();
};

WAVEFORMATEX Stereo48k() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 48000;
    format.nAvgBytesPerSec = 192000;
    format.nBlockAlign = 4;
    format.wBitsPerSample = 16;
    return format;
}

DWORD Flags(WAVEHDR& header) {
    return static_cast<DWORD>(
        InterlockedCompareExchange(reinterpret_cast<LONG volatile*>(&header.dwFlags), 0, 0));
}

// Waits, in real time and never for long, until the audio thread has returned the buffer.
bool BecomesDone(WAVEHDR& header) {
    for (int i = 0; i < 2000 && (Flags(header) & WHDR_DONE) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return (Flags(header) & WHDR_DONE) != 0;
}

class WaveStandIns : public ::testing::Test {
protected:
    void SetUp() override {
        portable::UseVirtualClock();
        portable::SetDeviceBackend(&m_audio);
    }
    void TearDown() override {
        portable::SetDeviceBackend(nullptr);
        portable::UseRealClock();
    }

    HWAVEIN Open() {
        const WAVEFORMATEX format = Stereo48k();
        HWAVEIN wave = nullptr;
        EXPECT_EQ(waveInOpen(&wave, 0, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
        return wave;
    }

    // A header over a buffer of `ms` milliseconds of the stream.
    WAVEHDR& Header(DWORD ms) {
        m_buffers.emplace_back(ms * kBytesPerMs, BYTE{0});
        m_headers.push_back(WAVEHDR{});
        WAVEHDR& header = m_headers.back();
        header.lpData = reinterpret_cast<LPSTR>(m_buffers.back().data());
        header.dwBufferLength = ms * kBytesPerMs;
        return header;
    }

    // The first `bytes` bytes of the buffer are the stream's from `offset` on.
    static bool Holds(const WAVEHDR& header, std::uint64_t offset, DWORD bytes) {
        for (DWORD i = 0; i < bytes; ++i) {
            if (static_cast<BYTE>(header.lpData[i]) != StreamByte(offset + i)) {
                return false;
            }
        }
        return true;
    }

    ScriptedAudio m_audio;
    std::vector<std::vector<BYTE>> m_buffers;
    std::deque<WAVEHDR> m_headers;
};

TEST(WaveStandInsWithoutDevices, HaveNoDevices) {
    EXPECT_EQ(waveInGetNumDevs(), 0u);
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    ULONG size = 0;
    EXPECT_EQ(
        waveInMessage(nullptr, DRV_QUERYDEVICEINTERFACESIZE, reinterpret_cast<DWORD_PTR>(&size), 0),
        MMSYSERR_BADDEVICEID);
    const WAVEFORMATEX format = Stereo48k();
    HWAVEIN wave = nullptr;
    EXPECT_EQ(waveInOpen(&wave, 0, &format, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
}

TEST_F(WaveStandIns, DriversNameTheirInterfaceInAsManyBytesAsTheySay) {
    EXPECT_EQ(waveInGetNumDevs(), 3u);
    EXPECT_EQ(waveOutGetNumDevs(), 1u);
    const auto message = [](UINT id, UINT msg, DWORD_PTR dw1, DWORD_PTR dw2) {
        return waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(id)), msg, dw1, dw2);
    };
    const std::u16string name = ScriptedAudio::kName;
    ULONG size = 0;
    ASSERT_EQ(message(0, DRV_QUERYDEVICEINTERFACESIZE, reinterpret_cast<DWORD_PTR>(&size), 0),
              MMSYSERR_NOERROR);
    EXPECT_EQ(size, (name.size() + 1) * sizeof(WCHAR));

    std::vector<WCHAR> buffer(size / sizeof(WCHAR), u'?');
    const auto into = reinterpret_cast<DWORD_PTR>(buffer.data());
    EXPECT_EQ(message(0, DRV_QUERYDEVICEINTERFACE, into, size - 1), MMSYSERR_INVALPARAM);
    ASSERT_EQ(message(0, DRV_QUERYDEVICEINTERFACE, into, size), MMSYSERR_NOERROR);
    EXPECT_EQ(std::u16string(buffer.data()), name);

    // A name of 511 characters fills a 1,024-byte buffer exactly.
    ASSERT_EQ(message(2, DRV_QUERYDEVICEINTERFACESIZE, reinterpret_cast<DWORD_PTR>(&size), 0),
              MMSYSERR_NOERROR);
    EXPECT_EQ(size, 1024u);
    std::vector<WCHAR> room(512);
    EXPECT_EQ(message(2, DRV_QUERYDEVICEINTERFACE, reinterpret_cast<DWORD_PTR>(room.data()), 1024),
              MMSYSERR_NOERROR);

    for (UINT msg : {DRV_QUERYDEVICEINTERFACESIZE, DRV_QUERYDEVICEINTERFACE}) {
        EXPECT_EQ(message(1, msg, into, size), MMSYSERR_NOTSUPPORTED);  // no answer
        EXPECT_EQ(message(3, msg, into, size), MMSYSERR_BADDEVICEID);
        EXPECT_EQ(message(0, msg, 0, size), MMSYSERR_INVALPARAM);
    }
    EXPECT_EQ(waveOutMessage(nullptr, DRV_QUERYDEVICEINTERFACESIZE,
                             reinterpret_cast<DWORD_PTR>(&size), 0),
              MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutMessage(reinterpret_cast<HWAVEOUT>(1), DRV_QUERYDEVICEINTERFACESIZE,
                             reinterpret_cast<DWORD_PTR>(&size), 0),
              MMSYSERR_BADDEVICEID);
}

TEST_F(WaveStandIns, OpenTakesOnlyAFormatWhoseFieldsAgree) {
    struct Case {
        const char* what;
        void (*change)(WAVEFORMATEX&);
        MMRESULT result;
    } const cases[] = {
        {"as asked", [](WAVEFORMATEX&) {}, MMSYSERR_NOERROR},
        {"cbSize is ignored for PCM", [](WAVEFORMATEX& f) { f.cbSize = 22; }, MMSYSERR_NOERROR},
        {"not PCM", [](WAVEFORMATEX& f) { f.wFormatTag = 3; }, WAVERR_BADFORMAT},
        {"no channels", [](WAVEFORMATEX& f) { f.nChannels = 0; }, WAVERR_BADFORMAT},
        {"12 bits", [](WAVEFORMATEX& f) { f.wBitsPerSample = 12; }, WAVERR_BADFORMAT},
        {"block of one channel", [](WAVEFORMATEX& f) { f.nBlockAlign = 2; }, WAVERR_BADFORMAT},
        {"byte rate of 44.1 kHz", [](WAVEFORMATEX& f) { f.nAvgBytesPerSec = 176400; },
         WAVERR_BADFORMAT},
        {"no rate", [](WAVEFORMATEX& f) { f.nSamplesPerSec = f.nAvgBytesPerSec = 0; },
         WAVERR_BADFORMAT},
    };
    for (const Case& c : cases) {
        WAVEFORMATEX format = Stereo48k();
        c.change(format);
        HWAVEIN wave = reinterpret_cast<HWAVEIN>(1);
        ASSERT_EQ(waveInOpen(&wave, 0, &format, 0, 0, CALLBACK_NULL), c.result) << c.what;
        if (c.result == MMSYSERR_NOERROR) {
            EXPECT_EQ(m_audio.opened.samplesPerSecond, 48000u);
            EXPECT_EQ(m_audio.opened.channels, 2);
            EXPECT_EQ(m_audio.opened.bitsPerSample, 16);
            EXPECT_EQ(waveInClose(wave), MMSYSERR_NOERROR);
        } else {
            EXPECT_EQ(wave, nullptr) << c.what;
        }
    }
    WAVEFORMATEX format = Stereo48k();
    HWAVEIN wave = nullptr;
    EXPECT_EQ(waveInOpen(nullptr, 0, &format, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInOpen(&wave, 0, nullptr, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    format.nChannels = 0;  // the id is checked first
    EXPECT_EQ(waveInOpen(&wave, 3, &format, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    format = Stereo48k();
    m_audio.openResult = MMSYSERR_ALLOCATED;
    EXPECT_EQ(waveInOpen(&wave, 0, &format, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
    EXPECT_EQ(wave, nullptr);
}

TEST_F(WaveStandIns, HeaderFlagsFollowPrepareQueueResetAndUnprepare) {
    HWAVEIN wave = Open();
    WAVEHDR& header = Header(1000);
    const UINT size = sizeof(WAVEHDR);
    EXPECT_EQ(waveInAddBuffer(wave, &header, size), WAVERR_UNPREPARED);
    EXPECT_EQ(waveInPrepareHeader(wave, &header, size - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInPrepareHeader(wave, nullptr, size), MMSYSERR_INVALPARAM);
    ASSERT_EQ(waveInPrepareHeader(wave, &header, size), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, static_cast<DWORD>(WHDR_PREPARED));
    EXPECT_EQ(waveInPrepareHeader(wave, &header, size), MMSYSERR_NOERROR);  // no effect

    header.dwBytesRecorded = 77;
    ASSERT_EQ(waveInAddBuffer(wave, &header, size), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, static_cast<DWORD>(WHDR_PREPARED | WHDR_INQUEUE));
    EXPECT_EQ(header.dwBytesRecorded, 0u);
    EXPECT_EQ(waveInAddBuffer(wave, &header, size), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInUnprepareHeader(wave, &header, size), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInClose(wave), WAVERR_STILLPLAYING);

    // Never started: reset returns the buffer empty.
    ASSERT_EQ(waveInReset(wave), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, static_cast<DWORD>(WHDR_PREPARED | WHDR_DONE));
    EXPECT_EQ(header.dwBytesRecorded, 0u);
    ASSERT_EQ(waveInUnprepareHeader(wave, &header, size), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, static_cast<DWORD>(WHDR_DONE));
    EXPECT_EQ(waveInUnprepareHeader(wave, &header, size), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInClose(wave), MMSYSERR_NOERROR);

    // A closed handle is no handle.
    EXPECT_EQ(waveInPrepareHeader(wave, &header, size), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInAddBuffer(wave, &header, size), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInUnprepareHeader(wave, &header, size), MMSYSERR_INVALHANDLE);
    for (MMRESULT (*call)(HWAVEIN) : {waveInStart, waveInStop, waveInReset, waveInClose}) {
        EXPECT_EQ(call(wave), MMSYSERR_INVALHANDLE);
    }
}

TEST_F(WaveStandIns, ACloseCountsTheHeadersLeftPrepared) {
    const UINT size = sizeof(WAVEHDR);
    const std::size_t before = portable::HeadersLeftPreparedAtClose();
    HWAVEIN wave = Open();
    WAVEHDR& kept = Header(1000);
    WAVEHDR& released = Header(1000);
    ASSERT_EQ(waveInPrepareHeader(wave, &kept, size), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInPrepareHeader(wave, &released, size), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInUnprepareHeader(wave, &released, size), MMSYSERR_NOERROR);
    // Windows closes all the same; the header's resources are what is lost.
    ASSERT_EQ(waveInClose(wave), MMSYSERR_NOERROR);
    EXPECT_EQ(portable::HeadersLeftPreparedAtClose(), before + 1);
}

TEST_F(WaveStandIns, TheAudioThreadFillsEachBufferWhenTheClockHasPassedItsEnd) {
    HWAVEIN wave = Open();
    WAVEHDR& first = Header(1000);
    WAVEHDR& second = Header(100);
    for (WAVEHDR* header : {&first, &second}) {
        ASSERT_EQ(waveInPrepareHeader(wave, header, sizeof *header), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(wave, header, sizeof *header), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveInStart(wave), MMSYSERR_NOERROR);
    Sleep(999);
    portable::WaitForDueCaptures(timeGetTime());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the audio thread's turns
    EXPECT_EQ(Flags(first), static_cast<DWORD>(WHDR_PREPARED | WHDR_INQUEUE));

    // This thread makes no wave call: the audio thread sees the clock and returns the buffer.
    Sleep(1);
    ASSERT_TRUE(BecomesDone(first));
    EXPECT_EQ(Flags(first), static_cast<DWORD>(WHDR_PREPARED | WHDR_DONE));
    EXPECT_EQ(first.dwBytesRecorded, 192000u);
    EXPECT_TRUE(Holds(first, 0, 192000));
    EXPECT_EQ(Flags(second) & WHDR_DONE, 0u);

    // Once the due buffers are waited for, the next one is there at once.
    Sleep(100);
    portable::WaitForDueCaptures(timeGetTime());
    EXPECT_EQ(Flags(second), static_cast<DWORD>(WHDR_PREPARED | WHDR_DONE));
    EXPECT_TRUE(Holds(second, 192000, 100 * kBytesPerMs));

    EXPECT_EQ(waveInStop(wave), MMSYSERR_NOERROR);
    EXPECT_EQ(m_audio.capture->stops, 1);
    for (WAVEHDR* header : {&first, &second}) {
        EXPECT_EQ(waveInUnprepareHeader(wave, header, sizeof *header), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(waveInClose(wave), MMSYSERR_NOERROR);
}

TEST_F(WaveStandIns, StopAndResetReturnWhatTheBuffersHold) {
    HWAVEIN wave = Open();
    WAVEHDR& first = Header(1000);
    WAVEHDR& second = Header(1000);
    for (WAVEHDR* header : {&first, &second}) {
        ASSERT_EQ(waveInPrepareHeader(wave, header, sizeof *header), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(wave, header, sizeof *header), MMSYSERR_NOERROR);
    }
    // A stop returns the buffer it was filling with what it holds; an empty one stays queued.
    ASSERT_EQ(waveInStart(wave), MMSYSERR_NOERROR);
    Sleep(250);
    ASSERT_EQ(waveInStop(wave), MMSYSERR_NOERROR);
    EXPECT_EQ(Flags(first), static_cast<DWORD>(WHDR_PREPARED | WHDR_DONE));
    EXPECT_EQ(first.dwBytesRecorded, 250 * kBytesPerMs);
    EXPECT_TRUE(Holds(first, 0, 250 * kBytesPerMs));
    EXPECT_EQ(Flags(second), static_cast<DWORD>(WHDR_PREPARED | WHDR_INQUEUE));

    // A reset returns every buffer; the started run begins again at the stream's start.
    ASSERT_EQ(waveInStart(wave), MMSYSERR_NOERROR);
    Sleep(100);
    ASSERT_EQ(waveInReset(wave), MMSYSERR_NOERROR);
    EXPECT_EQ(Flags(second), static_cast<DWORD>(WHDR_PREPARED | WHDR_DONE));
    EXPECT_EQ(second.dwBytesRecorded, 100 * kBytesPerMs);
    EXPECT_TRUE(Holds(second, 0, 100 * kBytesPerMs));
    EXPECT_EQ(m_audio.capture->stops, 2);
    EXPECT_EQ(waveInClose(wave), MMSYSERR_NOERROR);
}

TEST_F(WaveStandIns, OnTheRealClockABufferFillsInItsOwnTime) {
    portable::UseRealClock();
    HWAVEIN wave = Open();
    WAVEHDR& header = Header(20);
    ASSERT_EQ(waveInPrepareHeader(wave, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(wave, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(wave), MMSYSERR_NOERROR);
    EXPECT_TRUE(BecomesDone(header));
    EXPECT_TRUE(Holds(header, 0, header.dwBufferLength));
    EXPECT_EQ(waveInStop(wave), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInUnprepareHeader(wave, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInClose(wave), MMSYSERR_NOERROR);
}

TEST(StringCompare, IgnoresTheCaseOfAsciiLetters) {
    struct Case {
        const char16_t* a;
        const char16_t* b;
        int sign;
    } const cases[] = {
        {u"\\\\?\\USB#VID_0CA8", u"\\\\?\\usb#vid_0ca8", 0},
        {u"abc", u"ABD", -1},
        {u"abc", u"AB", 1},
        {u"", u"", 0},
        {u"\u00C9", u"\u00E9", -1},  // beyond ASCII, code units compare as they are
        {nullptr, u"", -1},
        {nullptr, nullptr, 0},
    };
    for (const Case& c : cases) {
        const int result = lstrcmpiW(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign);
        const int reverse = lstrcmpiW(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign);
    }
}

}  // namespace
