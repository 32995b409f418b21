// The virtual mixer's command line: the simulated mixer's options as setup-sim takes them, its own
// places, and a clear refusal of everything else.
#include "sim/virtualmixer/virtualmixeroptions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "sim/replay.h"

namespace {

bool Parse(std::vector<const char*> arguments, sim::VirtualMixerOptions* options,
           std::string* error) {
    arguments.insert(arguments.begin(), "virtual-mixer");
    return sim::ParseVirtualMixerOptions(static_cast<int>(arguments.size()), arguments.data(),
                                         options, error);
}

TEST(VirtualMixerOptions, TakeTheMixerOptionsAndTheirPlaces) {
    sim::VirtualMixerOptions options;
    std::string error;
    ASSERT_TRUE(
        Parse({"--mixer=update", "--update-id=0800", "--second-mixer", "--wrong-status=ERFW:2",
               "--fail-block=7", "--unplug-after=900", "--dante=10,13", "--transcript=/t",
               "--flash=/f", "--dev=/d", "--sys-class=/c", "--sys-devices=/s", "--ready=/r",
               "--statistics", "--audio-drop-frame=46000", "--audio-never-completes",
               "--sys-sound=/n", "--capture-fifo=/p", "--other-devices"},
              &options, &error))
        << error;
    const sim::SimConfig& config = options.config;
    EXPECT_EQ(config.start, sim::MixerStart::Update);
    EXPECT_EQ(config.updateProductId, PRODUCT_ID_UPDATE);
    EXPECT_TRUE(config.secondMixer);
    ASSERT_EQ(config.faults.commands.size(), 1u);
    EXPECT_EQ(config.faults.commands[0].command, "ERFW");
    EXPECT_EQ(config.faults.commands[0].status, 2u);
    EXPECT_EQ(config.faults.failingBlock, 7u);
    EXPECT_EQ(config.faults.unplugAfterTransfers, 900u);
    EXPECT_EQ(config.dante.readings, (std::vector<DWORD>{10, 13}));
    EXPECT_EQ(config.audio.dropFrameAt, 46000u);
    EXPECT_TRUE(config.audio.bufferNeverCompletes);
    EXPECT_FALSE(config.audio.silence);
    EXPECT_FALSE(config.keepTranscript);
    EXPECT_TRUE(options.statistics);
    EXPECT_TRUE(options.otherDevices);
    EXPECT_FALSE(options.help);
    EXPECT_EQ(
        (std::vector<std::string>{options.transcriptPath, options.flashDir, options.devDir,
                                  options.sysClassDir, options.sysDevicesDir, options.readyFile,
                                  options.mountDir, options.sysSoundDir, options.captureFifo}),
        (std::vector<std::string>{"/t", "/f", "/d", "/c", "/s", "/r", "/d/.virtual-mixer", "/n",
                                  "/p"}));
}

TEST(VirtualMixerOptions, RefuseWhatIsNotTheirs) {
    // setup-sim's own options stand for the Windows side, which the virtual mixer does not serve;
    // the wave calls' results are the Windows driver's, and the images are the program's.
    for (const char* wrong :
         {"--fast", "--no-preparsed-data", "--wave-open-result=4", "--image=110:x", "-quiet",
          "--flash", "--dev=", "--help=1", "--busy=ERF", "--images"}) {
        sim::VirtualMixerOptions options;
        std::string error;
        EXPECT_FALSE(Parse({wrong}, &options, &error)) << wrong;
        EXPECT_FALSE(error.empty()) << wrong;
    }
    sim::VirtualMixerOptions options;
    std::string error;
    EXPECT_FALSE(Parse({"-quiet"}, &options, &error));
    EXPECT_EQ(error, "\"-quiet\" is not an option");
    EXPECT_FALSE(Parse({"--long-path"}, &options, &error));
    EXPECT_EQ(error, "unknown option --long-path");
}

TEST(VirtualMixerOptions, TakeAReplayWithoutTheMixersFaults) {
    const std::string log = testing::TempDir() + "virtualmixeroptions_replay.log";
    std::ofstream(log) << "3 found vendor=0CA8 product=0801 version=2.14 serial=\"\" path=p\n"
                       << "5 transfer set F0 0 F045465755\n";
    const std::string replay = "--replay=" + log;
    sim::VirtualMixerOptions options;
    std::string error;
    ASSERT_TRUE(Parse({replay.c_str(), "--transcript=/t", "--flash=/f"}, &options, &error))
        << error;
    ASSERT_NE(options.config.replay, nullptr);
    EXPECT_EQ(options.config.replay->transfers.size(), 1u);
    EXPECT_EQ(options.config.start, sim::MixerStart::Application);
    EXPECT_FALSE(Parse({replay.c_str(), "--unplug-at-block=3"}, &options, &error));
    EXPECT_EQ(error, "--replay answers as the recorded mixer did: it takes no --unplug-at-block");
}

}  // namespace
