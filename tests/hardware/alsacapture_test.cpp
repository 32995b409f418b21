// The capture stream through alsa-lib, on PCMs of a private ALSA configuration: ALSA's file plugin
// over the null device, reading its samples from a file or a FIFO of the test's, as a sound card
// would deliver them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "hardware/alsacapture.h"
#include "platform/win32api.h"

namespace {

namespace fs = std::filesystem;

constexpr portable::PcmFormat kWizardFormat{2, 48000, 16};
constexpr std::size_t kSecond = 48000 * 4;

// The private configuration: the system's own, and two PCMs of the test's after it. Made before
// any test opens a PCM, since alsa-lib reads its configuration once.
class AlsaConfiguration : public testing::Environment {
public:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("alsacapture-" + std::to_string(getpid()));
        fs::create_directories(dir);
        samples.resize(2 * kSecond);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<BYTE>((i * 7) ^ (i >> 8));
        }
        std::ofstream(dir / "samples.raw", std::ios::binary)
            .write(reinterpret_cast<const char*>(samples.data()),
                   static_cast<std::streamsize>(samples.size()));
        mkfifo((dir / "silent.fifo").c_str(), 0600);
        std::ifstream system("/usr/share/alsa/alsa.conf");
        std::ofstream config(dir / "alsa.conf");
        config << system.rdbuf() << "\n"
               << Pcm("test_file", dir / "samples.raw") << Pcm("test_fifo", dir / "silent.fifo");
        setenv("ALSA_CONFIG_PATH", (dir / "alsa.conf").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string Pcm(const std::string& name, const fs::path& infile) {
        return "pcm." + name + " {\n  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n" +
               "  infile \"" + infile.string() + "\"\n  format \"raw\"\n}\n";
    }

    fs::path dir;
    std::vector<BYTE> samples;
};

AlsaConfiguration* g_alsa = nullptr;

// Waits, for at most `limit`, until the run has delivered `bytes`.
bool WaitForBytes(portable::WaveCapture& capture, std::uint64_t bytes,
                  std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (capture.Arrived(0, 0) < bytes) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(AlsaCapture, DeliversTheDevicesSamplesByteForByte) {
    std::shared_ptr<portable::WaveCapture> capture;
    ASSERT_EQ(hardware::OpenAlsaCapture("test_file", kWizardFormat, &capture), MMSYSERR_NOERROR);
    EXPECT_EQ(capture->Prepare(), MMSYSERR_NOERROR);
    EXPECT_EQ(capture->Queue(), MMSYSERR_NOERROR);
    ASSERT_EQ(capture->Start(0), MMSYSERR_NOERROR);
    ASSERT_TRUE(WaitForBytes(*capture, kSecond, std::chrono::seconds(5)));
    std::vector<BYTE> second(kSecond);
    capture->Read(0, 0, second.data(), second.size());
    EXPECT_TRUE(std::equal(second.begin(), second.end(), g_alsa->samples.begin()));
    capture->Stop(0);
}

TEST(AlsaCapture, RefusesWhatTheDeviceCannotRecordAndDevicesThatAreNotThere) {
    std::shared_ptr<portable::WaveCapture> capture;
    EXPECT_EQ(hardware::OpenAlsaCapture("test_file", {2, 48000, 8}, &capture), WAVERR_BADFORMAT);
    EXPECT_EQ(hardware::OpenAlsaCapture("hw:CARD=NoSuchCard,DEV=0", kWizardFormat, &capture),
              MMSYSERR_BADDEVICEID);
    EXPECT_EQ(capture, nullptr);
}

TEST(AlsaCapture, ADeviceThatDeliversNothingNeverFillsAndItsStopIsBounded) {
    // A writer that keeps the FIFO open and writes nothing: reads wait for ever.
    const int writer = open((g_alsa->dir / "silent.fifo").c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    std::shared_ptr<portable::WaveCapture> capture;
    ASSERT_EQ(hardware::OpenAlsaCapture("test_fifo", kWizardFormat, &capture), MMSYSERR_NOERROR);
    ASSERT_EQ(capture->Start(0), MMSYSERR_NOERROR);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(capture->Arrived(0, 0), 0u);
    const auto before = std::chrono::steady_clock::now();
    capture->Stop(0);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    // A stream whose reading thread is stuck takes no new run.
    EXPECT_EQ(capture->Start(0), MMSYSERR_ERROR);
    close(writer);  // the stuck read ends, and the thread lets go of the PCM
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    g_alsa = new AlsaConfiguration;
    testing::AddGlobalTestEnvironment(g_alsa);
    return RUN_ALL_TESTS();
}
