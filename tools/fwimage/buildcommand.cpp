// fwimage build: an image from a payload and entries given in the order they are to be stored.
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/firmwareimage.h"
#include "firmware/imagebuilder.h"
#include "tools/fwimage/commands.h"
#include "tools/fwimage/imagefile.h"
#include "tools/fwimage/randompayload.h"
#include "tools/fwimage/textvalues.h"

namespace {

constexpr std::uint64_t MAX_IMAGE_SIZE = std::numeric_limits<DWORD>::max() - IMAGE_TAIL_SIZE;
constexpr std::uint64_t MAX_STR_SIZE = 252;  // the largest multiple of 4 a length byte holds

[[noreturn]] void Fail(const std::string& message) {
    throw CommandError("build: " + message);
}

class CBuildArguments {
public:
    CBuildArguments(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

    bool AtEnd() const { return m_index >= m_argc; }
    std::string_view Next() { return m_argv[m_index++]; }
    std::string_view ValueOf(std::string_view option) {
        if (AtEnd()) {
            Fail(std::string(option) + " needs a value");
        }
        return Next();
    }

private:
    int m_argc;
    char** m_argv;
    int m_index = 0;
};

// "TAG=VALUE" with a valid tag.
std::pair<std::string_view, std::string_view> SplitTagged(std::string_view option,
                                                          std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        Fail(std::string(option) + " needs TAG=VALUE, not '" + std::string(text) + "'");
    }
    const std::string_view tag = text.substr(0, equals);
    if (!IsValidTag(tag)) {
        Fail(std::string(option) + ": tag '" + std::string(tag) +
             "' is not three lower-case letters or digits");
    }
    return {tag, text.substr(equals + 1)};
}

void AddText(CImageBuilder* builder, std::string_view text) {
    const std::size_t colon = text.find(':');
    std::uint64_t size = 0;
    if (colon == std::string_view::npos || !ParseUnsigned(text.substr(0, colon), 255, &size) ||
        size == 0 || size % 4 != 0 || size > MAX_STR_SIZE) {
        Fail("--str needs SIZE:TEXT with SIZE a multiple of 4 from 4 to 252, not '" +
             std::string(text) + "'");
    }
    const std::string_view content = text.substr(colon + 1);
    if (content.size() > size) {
        Fail("--str text is longer than its " + std::to_string(size) + " bytes");
    }
    builder->AddText(static_cast<BYTE>(size), content);
}

std::vector<BYTE> MakePayload(const std::optional<std::string>& path,
                              std::optional<std::uint64_t> randomSize,
                              std::optional<std::uint64_t> seed, std::size_t headerLength) {
    if (path.has_value() == randomSize.has_value()) {
        Fail("give exactly one of --payload FILE and --random-payload BYTES");
    }
    if (randomSize.has_value() != seed.has_value()) {
        Fail("--random-payload and --seed go together");
    }
    if (path) {
        return ReadImageFile(*path);
    }
    if (*randomSize > MAX_IMAGE_SIZE - headerLength) {
        Fail("--random-payload " + std::to_string(*randomSize) + " makes too large an image");
    }
    return MakeRandomPayload(*seed, static_cast<std::size_t>(*randomSize));
}

}  // namespace

int RunBuild(int argc, char** argv) {
    CBuildArguments args(argc, argv);
    std::optional<std::string> out;
    std::optional<std::string> payloadPath;
    std::optional<std::uint64_t> randomSize;
    std::optional<std::uint64_t> seed;
    CImageBuilder builder;
    int entryCount = 0;

    while (!args.AtEnd()) {
        const std::string_view option = args.Next();
        if (option == "--out" || option == "--payload") {
            std::optional<std::string>& target = option == "--out" ? out : payloadPath;
            const std::string_view value = args.ValueOf(option);
            if (target || value.empty()) {
                Fail(std::string(option) + " needs one file name");
            }
            target = std::string(value);
        } else if (option == "--random-payload" || option == "--seed") {
            std::optional<std::uint64_t>& target = option == "--seed" ? seed : randomSize;
            const std::string_view value = args.ValueOf(option);
            std::uint64_t number = 0;
            if (target ||
                !ParseUnsigned(value, std::numeric_limits<std::uint64_t>::max(), &number)) {
                Fail(std::string(option) + " needs one number, not '" + std::string(value) + "'");
            }
            target = number;
        } else if (option == "--crc") {
            builder.AddPayloadCrc();
            ++entryCount;
        } else if (option == "--flag") {
            const std::string_view tag = args.ValueOf(option);
            if (!IsValidTag(tag)) {
                Fail("--flag: tag '" + std::string(tag) +
                     "' is not three lower-case letters or digits");
            }
            builder.AddFlag(tag);
            ++entryCount;
        } else if (option == "--u32" || option == "--time") {
            const auto [tag, text] = SplitTagged(option, args.ValueOf(option));
            std::uint64_t number = 0;
            DWORD seconds = 0;
            if (option == "--u32" &&
                ParseUnsigned(text, std::numeric_limits<DWORD>::max(), &number)) {
                builder.AddValue(tag, static_cast<DWORD>(number));
            } else if (option == "--time" && ParseUtcTime(text, &seconds)) {
                builder.AddValue(tag, seconds);
            } else {
                Fail(std::string(option) + " " + std::string(tag) + ": '" + std::string(text) +
                     (option == "--u32"
                          ? "' is not a 32-bit number"
                          : "' is not a YYYY-MM-DDTHH:MM:SSZ time from 1970 to 2106"));
            }
            ++entryCount;
        } else if (option == "--str") {
            AddText(&builder, args.ValueOf(option));
            ++entryCount;
        } else if (option == "--raw") {
            const auto [tag, hex] = SplitTagged(option, args.ValueOf(option));
            std::vector<BYTE> value;
            if (!ParseHexBytes(hex, &value) || value.size() > 255) {
                Fail("--raw " + std::string(tag) + ": '" + std::string(hex) +
                     "' is not up to 255 bytes as pairs of hex digits");
            }
            builder.AddEntry(tag, value.data(), static_cast<BYTE>(value.size()));
            ++entryCount;
        } else {
            Fail("unknown option '" + std::string(option) + "'");
        }
    }
    if (!out) {
        Fail("--out FILE is missing");
    }
    if (entryCount == 0) {
        Fail("at least one entry is needed");
    }
    if (builder.GetHeaderLength() > MAX_IMAGE_SIZE) {
        Fail("too many entries");
    }
    const std::vector<BYTE> payload =
        MakePayload(payloadPath, randomSize, seed, builder.GetHeaderLength());
    std::vector<BYTE> image;
    if (!builder.Build(payload.data(), payload.size(), &image)) {
        Fail("the image would be larger than a firmware image can be");
    }
    WriteImageFile(*out, image);
    std::printf("%s: %zu bytes, header length %zu\n", out->c_str(), image.size(),
                builder.GetHeaderLength());
    return EXIT_OK;
}
