#include "firmware/imageacceptance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/imagebuilder.h"
#include "tests/firmware/testimages.h"

namespace {

AcceptanceStep Accept(const std::vector<BYTE>& image, ImageKind kind, bool requireSub) {
    ImageHeaderInfo info;
    return CheckImageAcceptance(image.data(), static_cast<DWORD>(image.size()), kind, requireSub,
                                &info);
}

// A logic image with the shipped entries, each of which a case may leave out or change.
struct LogicEntries {
    bool crc = true;
    bool lgc = true;
    bool cod = false;
    bool dpi = true;
    DWORD dpiValue = 0x000C0002;
    bool sub = true;
    DWORD subValue = 7;
};

std::vector<BYTE> Build(const LogicEntries& e, std::size_t payloadSize = 100) {
    CImageBuilder builder;
    if (e.crc) {
        builder.AddPayloadCrc();
    }
    if (e.lgc) {
        builder.AddFlag("lgc");
    }
    if (e.cod) {
        builder.AddFlag("cod");
    }
    if (e.sub) {
        builder.AddValue("sub", e.subValue);
    }
    if (e.dpi) {
        builder.AddValue("dpi", e.dpiValue);
    }
    const std::vector<BYTE> payload = PatternPayload(payloadSize);
    std::vector<BYTE> image;
    builder.Build(payload.data(), payload.size(), &image);
    return image;
}

}  // namespace

TEST(ImageAcceptance, AcceptsTheShippedShapes) {
    EXPECT_EQ(Accept(CodeImage(156328), ImageKind::Code, false), AcceptanceStep::Accepted);
    EXPECT_EQ(Accept(LogicImage(677300), ImageKind::Logic, true), AcceptanceStep::Accepted);
    EXPECT_EQ(Accept(LogicImage(677300), ImageKind::Logic, false), AcceptanceStep::Accepted);
}

TEST(ImageAcceptance, NamesTheFirstFailingStep) {
    std::vector<BYTE> badMagic = Build({});
    badMagic[0] = 'X';
    std::vector<BYTE> badPayload = Build({});
    badPayload.back() ^= 0x40;
    std::vector<BYTE> wrongDpiAndPayload = Build({.dpiValue = 0x000C0003});
    wrongDpiAndPayload.back() ^= 0x40;

    const struct {
        const char* name;
        std::vector<BYTE> image;
        ImageKind kind;
        bool requireSub;
        AcceptanceStep step;
        const char* text;
    } cases[] = {
        {"bad magic", badMagic, ImageKind::Logic, false, AcceptanceStep::HeaderInvalid,
         "header invalid"},
        {"code image without cod", Build({}), ImageKind::Code, false, AcceptanceStep::NoMarker,
         "no cod entry"},
        {"logic image without lgc", Build({.lgc = false, .cod = true}), ImageKind::Logic, false,
         AcceptanceStep::NoMarker, "no lgc entry"},
        {"no dpi", Build({.dpi = false}), ImageKind::Logic, false, AcceptanceStep::NoDpi,
         "no dpi entry"},
        {"dpi 0x000C0003", Build({.dpiValue = 0x000C0003}), ImageKind::Logic, false,
         AcceptanceStep::WrongDpi, "dpi is not 0x000C0002"},
        {"no sub under the sub rule", Build({.sub = false}), ImageKind::Logic, true,
         AcceptanceStep::WrongSub, "sub is missing or not 7"},
        {"sub 6 under the sub rule", Build({.subValue = 6}), ImageKind::Logic, true,
         AcceptanceStep::WrongSub, "sub is missing or not 7"},
        {"no crc", Build({.crc = false}), ImageKind::Logic, false, AcceptanceStep::NoCrc,
         "no crc entry"},
        {"payload changed", badPayload, ImageKind::Logic, false, AcceptanceStep::WrongPayloadCrc,
         "payload CRC does not match"},
        {"no dpi and no marker", Build({.lgc = false, .dpi = false}), ImageKind::Logic, false,
         AcceptanceStep::NoMarker, "no lgc entry"},
        {"wrong dpi and payload", wrongDpiAndPayload, ImageKind::Logic, true,
         AcceptanceStep::WrongDpi, "dpi is not 0x000C0002"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Accept(c.image, c.kind, c.requireSub), c.step) << c.name;
        EXPECT_STREQ(DescribeAcceptanceStep(c.step, c.kind), c.text) << c.name;
        ImageHeaderInfo info;
        EXPECT_FALSE(AcceptImage(c.image.data(), static_cast<DWORD>(c.image.size()), c.kind,
                                 c.requireSub, &info))
            << c.name;
    }
}

TEST(ImageAcceptance, AppliesTheSubRuleOnlyWhenAskedAndOnlyToLogicImages) {
    EXPECT_EQ(Accept(Build({.sub = false}), ImageKind::Logic, false), AcceptanceStep::Accepted);
    EXPECT_EQ(Accept(Build({.subValue = 6}), ImageKind::Logic, false), AcceptanceStep::Accepted);
    EXPECT_EQ(Accept(CodeImage(40), ImageKind::Code, true), AcceptanceStep::Accepted);
}

TEST(ImageAcceptance, TakesAnEmptyPayloadOnlyWithACrcOfZero) {
    const std::vector<BYTE> empty = Build({}, 0);
    EXPECT_EQ(Accept(empty, ImageKind::Logic, true), AcceptanceStep::Accepted);

    const std::vector<BYTE> wrongCrc = ImageFromWords(
        {EntryWord("crc", 4), 1, EntryWord("lgc", 0), EntryWord("dpi", 4), 0x000C0002});
    EXPECT_EQ(Accept(wrongCrc, ImageKind::Logic, false), AcceptanceStep::WrongPayloadCrc);
}

TEST(ImageAcceptance, RejectsAOneByteChangeAnywhereInTheImage) {
    const std::vector<BYTE> good = CodeImage(20000);
    std::vector<std::size_t> offsets;
    for (std::size_t offset = 0; offset < 72; ++offset) {  // the whole header
        offsets.push_back(offset);
    }
    for (std::size_t offset = 72; offset < good.size(); offset += 613) {
        offsets.push_back(offset);
    }
    offsets.push_back(good.size() - 1);

    for (std::size_t offset : offsets) {
        std::vector<BYTE> damaged = good;
        damaged[offset] ^= static_cast<BYTE>(1u << (offset % 8));
        EXPECT_NE(Accept(damaged, ImageKind::Code, false), AcceptanceStep::Accepted)
            << "byte " << offset;
    }
}
