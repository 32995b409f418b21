// setup-sim's options: every option of the table that the parser and --help read sets the setting
// it names, and a wrong value is refused with a message that names the option.
#include "sim/setupsimoptions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

bool Parse(std::vector<const char*> arguments, sim::SetupSimOptions* options, std::string* error) {
    arguments.insert(arguments.begin(), "setup-sim");
    return sim::ParseSetupSimOptions(static_cast<int>(arguments.size()), arguments.data(), options,
                                     error);
}

using sim::SetupSimOptions;

// An argument of each option, and what it must leave set that a default command line does not.
struct Expectation {
    const char* argument;
    std::function<bool(const SetupSimOptions&)> holds;
};

bool HasFault(const SetupSimOptions& o, const char* code, sim::CommandFault::Kind kind,
              unsigned count, DWORD status) {
    return o.config.faults.commands.size() == 1 && o.config.faults.commands[0].command == code &&
           o.config.faults.commands[0].kind == kind && o.config.faults.commands[0].count == count &&
           o.config.faults.commands[0].status == status;
}

// A log of one run with one transfer, for --replay.
std::string ReplayLog() {
    const std::string path = testing::TempDir() + "setupsimoptions_replay.log";
    std::ofstream(path) << "3 found vendor=0CA8 product=0800 version=1.02 serial=\"\" path=p\n"
                        << "5 transfer set F0 0 F045524657\n";
    return path;
}

const std::map<std::string, Expectation>& Expectations() {
    using Kind = sim::CommandFault::Kind;
    using O = SetupSimOptions;
    static const std::string replay = "--replay=" + ReplayLog();
    static const std::map<std::string, Expectation> expectations = {
        {"--mixer",
         {"--mixer=update-alt",
          [](const O& o) { return o.config.start == sim::MixerStart::UpdateAlt; }}},
        {"--update-id",
         {"--update-id=0800", [](const O& o) { return o.config.updateProductId == 0x0800; }}},
        {"--second-mixer", {"--second-mixer", [](const O& o) { return o.config.secondMixer; }}},
        {"--feature-length",
         {"--feature-length=0", [](const O& o) { return o.config.featureReportByteLength == 0; }}},
        {"--transcript",
         {"--transcript=t.txt", [](const O& o) { return o.transcriptPath == "t.txt"; }}},
        {"--replay",
         {replay.c_str(),
          [](const O& o) {
              return o.config.replay != nullptr && o.config.start == sim::MixerStart::Update;
          }}},
        {"--send-fails",
         {"--send-fails=ERFW:2",
          [](const O& o) { return HasFault(o, "ERFW", Kind::SendFails, 2, 0); }}},
        {"--status-fails",
         {"--status-fails=WRFI",
          [](const O& o) { return HasFault(o, "WRFI", Kind::StatusReadsFail, 0, 0); }}},
        {"--wrong-status",
         {"--wrong-status=VFFI:3",
          [](const O& o) { return HasFault(o, "VFFI", Kind::WrongStatus, 0, 3); }}},
        {"--busy",
         {"--busy=BKFP:40", [](const O& o) { return HasFault(o, "BKFP", Kind::Busy, 40, 0); }}},
        {"--fail-block",
         {"--fail-block=7", [](const O& o) { return o.config.faults.failingBlock == 7; }}},
        {"--unplug-after",
         {"--unplug-after=900",
          [](const O& o) { return o.config.faults.unplugAfterTransfers == 900; }}},
        {"--unplug-at-block",
         {"--unplug-at-block=1000",
          [](const O& o) { return o.config.faults.unplugAtBlock == 1000; }}},
        {"--ignore-efwu", {"--ignore-efwu", [](const O& o) { return o.config.faults.ignoreEfwu; }}},
        {"--dante",
         {"--dante=10,none",
          [](const O& o) {
              return o.config.dante.readings == std::vector<DWORD>{10, 0xFFFFFFFF};
          }}},
        {"--dante-read-fails",
         {"--dante-read-fails=2", [](const O& o) { return o.config.dante.failingRead == 2; }}},
        {"--fast", {"--fast", [](const O& o) { return o.fast; }}},
        {"--image",
         {"--image=111:x.bin",
          [](const O& o) {
              return o.images == std::vector<std::pair<WORD, std::string>>{{111, "x.bin"}};
          }}},
        {"--no-image",
         {"--no-image=112", [](const O& o) { return o.removedImages == std::vector<WORD>{112}; }}},
        {"--no-preparsed-data",
         {"--no-preparsed-data", [](const O& o) { return o.config.faults.noPreparsedData; }}},
        {"--long-path", {"--long-path", [](const O& o) { return o.config.faults.longPath; }}},
        {"--audio-silence", {"--audio-silence", [](const O& o) { return o.config.audio.silence; }}},
        {"--audio-drop-frame",
         {"--audio-drop-frame=5", [](const O& o) { return o.config.audio.dropFrameAt == 5; }}},
        {"--audio-repeat-frame",
         {"--audio-repeat-frame=6", [](const O& o) { return o.config.audio.repeatFrameAt == 6; }}},
        {"--audio-channels-differ",
         {"--audio-channels-differ", [](const O& o) { return o.config.audio.channelsDiffer; }}},
        {"--audio-never-completes",
         {"--audio-never-completes",
          [](const O& o) { return o.config.audio.bufferNeverCompletes; }}},
        {"--wave-open-result",
         {"--wave-open-result=4", [](const O& o) { return o.config.audio.openResult == 4; }}},
        {"--wave-prepare-result",
         {"--wave-prepare-result=7", [](const O& o) { return o.config.audio.prepareResult == 7; }}},
        {"--wave-add-result",
         {"--wave-add-result=35", [](const O& o) { return o.config.audio.addResult == 35; }}},
        {"--wave-start-result",
         {"--wave-start-result=6", [](const O& o) { return o.config.audio.startResult == 6; }}},
        {"--no-wave-devices",
         {"--no-wave-devices", [](const O& o) { return o.config.audio.noWaveDevices; }}},
        {"--long-interface-name",
         {"--long-interface-name", [](const O& o) { return o.config.audio.longInterfaceName; }}},
        {"--interface-name-case",
         {"--interface-name-case", [](const O& o) { return o.config.audio.nameInOtherCase; }}},
        {"--statistics", {"--statistics", [](const O& o) { return o.statistics; }}},
        {"--images", {"--images", [](const O& o) { return o.showImages; }}},
        {"--log",
         {"--log=l.txt", [](const O& o) { return o.logPath == "l.txt" && !o.logTransfers; }}},
        {"--log-transfers",
         {"--log-transfers=l.txt",
          [](const O& o) { return o.logPath == "l.txt" && o.logTransfers; }}},
        {"--version", {"--version", [](const O& o) { return o.version; }}},
        {"--help", {"--help", [](const O& o) { return o.help; }}},
    };
    return expectations;
}

TEST(SetupSimOptions, EveryOptionOfTheTableSetsWhatItNamesAndIsListed) {
    const std::string usage = sim::SetupSimUsage("");
    std::size_t options = 0;
    for (const auto& group : sim::SetupSimOptionTable()) {
        for (const auto& option : group.options) {
            ++options;
            const auto found = Expectations().find(option.name);
            if (found == Expectations().end()) {
                ADD_FAILURE() << option.name << " has no expectation in this test";
                continue;
            }
            const Expectation& expectation = found->second;
            SetupSimOptions parsed;
            std::string error;
            ASSERT_TRUE(Parse({expectation.argument}, &parsed, &error)) << error;
            EXPECT_TRUE(expectation.holds(parsed)) << option.name;
            EXPECT_FALSE(expectation.holds(SetupSimOptions{})) << option.name;
            EXPECT_NE(usage.find(std::string("\n  ") + option.name), std::string::npos)
                << option.name;
        }
    }
    // No expectation for an option the table no longer has.
    EXPECT_EQ(options, Expectations().size());
}

// The simulator document's list of setup-sim's options names the table's options with their values'
// forms, no more and no fewer.
TEST(SetupSimOptions, TheDocumentListsTheTable) {
    std::ifstream readme(SIMULATOR_DOC_PATH);
    ASSERT_TRUE(readme) << SIMULATOR_DOC_PATH;
    std::set<std::string> listed;
    bool inSection = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("## ", 0) == 0) {
            inSection = line == "## setup-sim";
        } else if (inSection && line.rfind("| `--", 0) == 0) {
            listed.insert(line.substr(2, line.find("` |") - 1));
        }
    }
    std::set<std::string> table;
    for (const auto& group : sim::SetupSimOptionTable()) {
        for (const auto& option : group.options) {
            std::string cell = std::string("`") + option.name;
            if (option.value != nullptr) {
                cell += "=";
                for (const char c : std::string(option.value)) {
                    cell += c == '|' ? std::string("\\|") : std::string(1, c);
                }
            }
            table.insert(cell + "`");
        }
    }
    EXPECT_EQ(listed, table);
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

TEST(SetupSimOptions, AReplayTakesNoOptionThatDecidesWhatTheMixerAnswers) {
    const std::string replay = "--replay=" + ReplayLog();
    for (const char* answering :
         {"--mixer=app", "--update-id=0800", "--second-mixer", "--send-fails=ERFW",
          "--status-fails=ERFW", "--wrong-status=VFFI:3", "--busy=ERFW:2", "--fail-block=3",
          "--unplug-after=9", "--unplug-at-block=2", "--ignore-efwu", "--dante=10",
          "--dante-read-fails=1"}) {
        const std::string name = std::string(answering).substr(0, std::string(answering).find('='));
        for (const auto& order : {std::vector<const char*>{replay.c_str(), answering},
                                  std::vector<const char*>{answering, replay.c_str()}}) {
            sim::SetupSimOptions options;
            std::string error;
            EXPECT_FALSE(Parse(order, &options, &error)) << answering;
            EXPECT_EQ(error, "--replay answers as the recorded mixer did: it takes no " + name);
        }
    }
    // The Windows side, the test signal, the clock and the reports stay the simulator's.
    sim::SetupSimOptions options;
    std::string error;
    EXPECT_TRUE(Parse({replay.c_str(), "--fast", "--transcript=t", "--feature-length=64",
                       "--audio-silence", "--no-wave-devices", "--long-path", "-quiet"},
                      &options, &error))
        << error;
}

TEST(SetupSimOptions, AReplayOfALogThatCannotBeReadIsRefused) {
    for (const auto& [argument, error] : std::vector<std::pair<std::string, std::string>>{
             {"--replay=/nonexistent.log",
              "cannot read the log /nonexistent.log: No such file or directory"},
             {"--replay", "--replay needs a value, as --replay=LOG"},
         }) {
        sim::SetupSimOptions options;
        std::string message;
        EXPECT_FALSE(Parse({argument.c_str()}, &options, &message));
        EXPECT_EQ(message, error);
    }
}

}  // namespace
