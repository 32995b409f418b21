// setup-sim's options for the audio function and the Dante counter: each sets its field, and a
// wrong value is refused with a message that names the option.
#include "sim/setupsimoptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool Parse(std::vector<const char*> arguments, sim::SetupSimOptions* options, std::string* error) {
    arguments.insert(arguments.begin(), "setup-sim");
    return sim::ParseSetupSimOptions(static_cast<int>(arguments.size()), arguments.data(), options,
                                     error);
}

TEST(SetupSimOptions, SetTheAudioAndDanteFaults) {
    sim::SetupSimOptions options;
    std::string error;
    ASSERT_TRUE(
        Parse({"--audio-silence", "--audio-drop-frame=43905", "--audio-repeat-frame=0",
               "--audio-channels-differ", "--audio-never-completes", "--wave-open-result=32",
               "--wave-prepare-result=7", "--wave-add-result=35", "--wave-start-result=0x6",
               "--no-wave-devices", "--long-interface-name", "--interface-name-case",
               "--dante=10,none,0xFFFFFFFE", "--dante-read-fails=2", "-usbtest"},
              &options, &error))
        << error;
    const sim::AudioConfig& audio = options.config.audio;
    EXPECT_TRUE(audio.silence && audio.channelsDiffer && audio.bufferNeverCompletes &&
                audio.noWaveDevices && audio.longInterfaceName && audio.nameInOtherCase);
    EXPECT_EQ(audio.dropFrameAt, 43905u);
    EXPECT_EQ(audio.repeatFrameAt, 0u);
    EXPECT_EQ((std::vector<UINT>{audio.openResult, audio.prepareResult, audio.addResult,
                                 audio.startResult}),
              (std::vector<UINT>{32, 7, 35, 6}));
    EXPECT_EQ(options.config.dante.readings, (std::vector<DWORD>{10, 0xFFFFFFFF, 0xFFFFFFFE}));
    EXPECT_EQ(options.config.dante.failingRead, 2u);
    EXPECT_EQ(options.wizardArguments, std::vector<std::string>{"-usbtest"});
}

TEST(SetupSimOptions, RefuseWrongAudioAndDanteValues) {
    for (const char* wrong : {"--audio-silence=1", "--audio-drop-frame", "--audio-drop-frame=-1",
                              "--audio-repeat-frame=4294967295", "--wave-open-result=x",
                              "--wave-start-result=", "--dante=", "--dante=10,,12", "--dante=ten",
                              "--dante-read-fails=0", "--dante-read-fail=1"}) {
        sim::SetupSimOptions options;
        std::string error;
        EXPECT_FALSE(Parse({wrong}, &options, &error)) << wrong;
        const std::string name = std::string(wrong).substr(0, std::string(wrong).find('='));
        EXPECT_NE(error.find(name), std::string::npos) << wrong << ": " << error;
    }
}

}  // namespace
