// Drives the built fwimage executable as the build and its users do.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "firmware/crc32.h"

namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode;
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<BYTE> ReadBytes(const fs::path& path) {
    const std::string text = ReadText(path);
    return std::vector<BYTE>(text.begin(), text.end());
}

void WriteBytes(const fs::path& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class Fwimage : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        m_dir = fs::temp_directory_path() / ("fwimage_test_" + std::to_string(random()));
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    fs::path File(const std::string& name) const { return m_dir / name; }
    std::string Quoted(const std::string& name) const { return "\"" + File(name).string() + "\""; }

    RunResult Run(const std::string& args) const {
        const std::string command = "\"" FWIMAGE_PATH "\" " + args + " >" + Quoted("stdout.txt") +
                                    " 2>" + Quoted("stderr.txt");
        int status = std::system(command.c_str());
        // POSIX shells report the exit code in the second byte and a signal in the first;
        // Windows returns the exit code itself. A crash stays visible as an odd status.
        if (status > 255 && (status & 0xFF) == 0) {
            status >>= 8;
        }
        return {status, ReadText(File("stdout.txt")), ReadText(File("stderr.txt"))};
    }

    // The shipped-shape images as the build makes them.
    void BuildShippedImages() const {
        ASSERT_EQ(Run("build --out " + Quoted("110.bin") +
                      " --random-payload 156328 --seed 110 --crc --time tim=2023-01-06T20:54:55Z"
                      " --flag cod --u32 uvp=0x0CA80801 --u32 dpi=0x000C0002"
                      " --str \"20:Corvena Vantor\"")
                      .exitCode,
                  0);
        ASSERT_EQ(Run("build --out " + Quoted("112.bin") +
                      " --random-payload 677300 --seed 112 --crc --time tim=2022-12-12T21:27:03Z"
                      " --flag lgc --u32 sub=7 --u32 dpi=0x000C0002 --str \"20:Corvena Vantor\"")
                      .exitCode,
                  0);
    }

    fs::path m_dir;
};

DWORD FileCrc(const std::vector<BYTE>& bytes) {
    return Crc32(0xFFFFFFFF, bytes.data(), static_cast<DWORD>(bytes.size()));
}

}  // namespace

TEST_F(Fwimage, BuildsTheShippedShapesByteForByteAndReadsThemBack) {
    BuildShippedImages();
    const std::vector<BYTE> code = ReadBytes(File("110.bin"));
    const std::vector<BYTE> logic = ReadBytes(File("112.bin"));
    EXPECT_EQ(code.size(), 156400u);
    EXPECT_EQ(logic.size(), 677372u);
    // Whole-file CRCs of the images from an independent writer of the format and of SplitMix64:
    // a change of generator or layout changes every test image the build makes.
    EXPECT_EQ(FileCrc(code), 0xA4923ACBu);
    EXPECT_EQ(FileCrc(logic), 0x1070DCDBu);

    const RunResult info = Run("info " + Quoted("110.bin"));
    EXPECT_EQ(info.exitCode, 0) << info.err;
    for (const char* expected :
         {"image size: 156400 bytes", "header length: 72",
          "16  tim  0x63B88A9F (1673038495)  2023-01-06T20:54:55Z", "24  cod  flag",
          "28  uvp  0x0CA80801 (212338689)", "36  dpi  0x000C0002 (786434)",
          "44  str  20 bytes  \"Corvena Vantor\"",
          "header CRC: stored 0xC37C966E, computed "
          "0xC37C966E: matches",
          "payload: 156328 bytes, CRC in crc entry 0xFBDE420B, computed 0xFBDE420B: matches"}) {
        EXPECT_NE(info.out.find(expected), std::string::npos) << expected << "\n" << info.out;
    }

    const struct {
        std::string args;
        std::string out;
    } checks[] = {
        {"check --code " + Quoted("110.bin"), "accepted\n"},
        {"check --logic --sub " + Quoted("112.bin"), "accepted\n"},
        {"check --logic " + Quoted("112.bin"), "accepted\n"},
    };
    for (const auto& c : checks) {
        const RunResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, 0) << c.args;
        EXPECT_EQ(result.out, c.out) << c.args;
    }
}

TEST_F(Fwimage, InfoShowsEveryKindOfEntry) {
    const RunResult build =
        Run("build --out " + Quoted("all.bin") +
            " --random-payload 0 --seed 1 --flag rlz --u32 ver=0x10 --raw "
            "hsg=00112233445566778899aabbccddeeff --raw xyz=01020304 --raw cod=00000000");
    ASSERT_EQ(build.exitCode, 0) << build.err;
    const RunResult info = Run("info " + Quoted("all.bin"));
    EXPECT_EQ(info.exitCode, 0) << info.err;
    for (const char* expected :
         {"8  rlz  flag", "12  ver  0x00000010 (16)",
          "20  hsg  00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF",
          "40  xyz/4  unrecognised, 4 bytes skipped", "48  cod/4  unrecognised",
          "payload: 0 bytes, computed CRC 0x00000000, no crc entry"}) {
        EXPECT_NE(info.out.find(expected), std::string::npos) << expected << "\n" << info.out;
    }
}

TEST_F(Fwimage, NamesWhatIsWrongWithADamagedImage) {
    BuildShippedImages();
    std::vector<BYTE> payloadDamaged = ReadBytes(File("110.bin"));
    payloadDamaged[100000] ^= 0x10;
    WriteBytes(File("payload.bin"), payloadDamaged);
    std::vector<BYTE> headerDamaged = ReadBytes(File("112.bin"));
    headerDamaged[30] ^= 0x01;  // inside sub's value
    WriteBytes(File("header.bin"), headerDamaged);
    ASSERT_EQ(Run("build --out " + Quoted("dpi.bin") +
                  " --random-payload 10 --seed 3 --crc --flag lgc --u32 dpi=0x000C0003")
                  .exitCode,
              0);
    ASSERT_EQ(Run("build --out " + Quoted("nosub.bin") +
                  " --random-payload 10 --seed 3 --crc --flag lgc --u32 dpi=0x000C0002")
                  .exitCode,
              0);
    ASSERT_EQ(Run("build --out " + Quoted("str.bin") +
                  " --random-payload 0 --seed 1 --flag lgc"
                  " --raw str=")
                  .exitCode,
              0);
    WriteBytes(File("empty.bin"), {});

    const struct {
        std::string args;
        std::string out;
    } cases[] = {
        {"check --code " + Quoted("payload.bin"), "rejected at step 7: payload CRC does not match"},
        {"check --code " + Quoted("112.bin"), "rejected at step 2: no cod entry"},
        {"check --logic " + Quoted("header.bin"),
         "rejected at step 1: header invalid (header CRC does not match)"},
        {"check --logic " + Quoted("dpi.bin"), "rejected at step 4: dpi is not 0x000C0002"},
        {"check --logic --sub " + Quoted("nosub.bin"),
         "rejected at step 5: sub is missing or not 7"},
        {"check --code " + Quoted("empty.bin"), "rejected at step 1: header invalid"},
        {"info " + Quoted("header.bin"), "header invalid: header CRC does not match"},
        {"info " + Quoted("empty.bin"), "header invalid: image shorter than 8 bytes"},
        {"info " + Quoted("str.bin"), "12  str/0  invalid: str length 0 is not a nonzero multiple"},
    };
    for (const auto& c : cases) {
        const RunResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, 1) << c.args;
        EXPECT_NE(result.out.find(c.out), std::string::npos) << c.args << "\n" << result.out;
    }
}

TEST_F(Fwimage, RefusesBadArgumentsAndUnreadableFilesWithOneLineAndExitCode2) {
    WriteBytes(File("keep.bin"), {1, 2, 3});
    fs::create_directory(File("dir.bin.part"));
    const std::string keep = Quoted("keep.bin");
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"frobnicate", "unknown command 'frobnicate'"},
        {"info", "info: needs exactly one FILE"},
        {"info " + Quoted("missing.bin"), "cannot read"},
        {"info " + Quoted(""), "not a regular file"},
        {"check " + keep, "needs --code FILE or --logic [--sub] FILE"},
        {"check --code --logic " + keep, "needs --code FILE or --logic [--sub] FILE"},
        {"check --code " + Quoted("missing.bin"), "cannot read"},
        {"build --out " + keep + " --random-payload ten --seed 1 --flag cod",
         "--random-payload needs one number, not 'ten'"},
        {"build --out " + keep + " --random-payload 99999999999 --seed 1 --flag cod",
         "makes too large an image"},
        {"build --out " + keep + " --random-payload 1 --flag cod", "--seed go together"},
        {"build --out " + keep + " --payload " + Quoted("missing.bin") + " --flag cod",
         "cannot read"},
        {"build --out " + keep + " --random-payload 1 --seed 1", "at least one entry"},
        {"build --out " + keep + " --random-payload 1 --seed 1 --u32 dpi=12x",
         "not a 32-bit number"},
        {"build --out " + keep + " --random-payload 1 --seed 1 --u32 dpi=0x100000000",
         "not a 32-bit number"},
        {"build --out " + keep + " --random-payload 1 --seed 1 --flag COD", "tag 'COD'"},
        {"build --out " + keep + " --random-payload 1 --seed 1 --time tim=2023-13-01T00:00:00Z",
         "not a YYYY-MM-DDTHH:MM:SSZ time"},
        {"build --out " + keep + " --random-payload 1 --seed 1 --str 6:abc",
         "--str needs SIZE:TEXT"},
        {"build --out " + keep + " --random-payload 1 --seed 1 --str 4:abcde", "longer than"},
        {"build --out " + keep + " --random-payload 1 --seed 1 --raw abc=0", "pairs of hex digits"},
        {"build --out " + keep + " --random-payload 1 --seed 1 --flag", "--flag needs a value"},
        {"build --out " + keep + " --random-payload 1 --seed 1 --bogus",
         "unknown option '--bogus'"},
        {"build --out " + Quoted("no/such/dir/x.bin") + " --random-payload 1 --seed 1 --flag cod",
         "cannot write"},
        // Its temporary file's name is taken by what cannot be removed.
        {"build --out " + Quoted("dir.bin") + " --random-payload 1 --seed 1 --flag cod",
         "cannot remove"},
    };
    for (const auto& c : cases) {
        const RunResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, 2) << c.args;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.args << "\n" << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
        EXPECT_EQ(result.out, "") << c.args;
    }
    EXPECT_EQ(ReadBytes(File("keep.bin")), (std::vector<BYTE>{1, 2, 3}))
        << "a refused build leaves its output file alone";
}

// The image is written to OUT.part first. What is found there already, a file an interrupted run
// left or a link put there to have the image written elsewhere, neither stops the build nor
// takes the image.
TEST_F(Fwimage, WhatLiesAtThePartFileIsReplacedNotWrittenThrough) {
    const std::string build = " --random-payload 100 --seed 1 --flag cod";
    ASSERT_EQ(Run("build --out " + Quoted("expected.bin") + build).exitCode, 0);
    const std::vector<BYTE> victim{1, 2, 3};
    const struct {
        const char* what;
        void (*plant)(const fs::path& part, const fs::path& victim);
    } cases[] = {
        {"a link to another file",
         [](const fs::path& part, const fs::path& target) { fs::create_symlink(target, part); }},
        {"a file left behind",
         [](const fs::path& part, const fs::path&) { WriteBytes(part, {9}); }},
    };
    for (const auto& c : cases) {
        WriteBytes(File("victim"), victim);
        c.plant(File("out.bin.part"), File("victim"));
        const RunResult result = Run("build --out " + Quoted("out.bin") + build);
        EXPECT_EQ(result.exitCode, 0) << c.what << ": " << result.err;
        EXPECT_EQ(ReadBytes(File("victim")), victim) << c.what;
        EXPECT_EQ(ReadBytes(File("out.bin")), ReadBytes(File("expected.bin"))) << c.what;
        fs::remove(File("out.bin"));
    }
}

TEST_F(Fwimage, PrintsUsageOnStdoutForHelpAndOnStderrWithoutArguments) {
    const RunResult help = Run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("fwimage build --out FILE"), std::string::npos);
    const RunResult none = Run("");
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("fwimage check --logic [--sub] FILE"), std::string::npos);
}
