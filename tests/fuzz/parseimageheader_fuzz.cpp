// libFuzzer target: any bytes as a firmware image. Beyond not crashing, the parser's verdicts must
// agree with each other and with the acceptance rule, and a valid header must obey its invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "firmware/firmwareimage.h"
#include "firmware/imageacceptance.h"
#include "firmware/imageheader.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckValidRecord(const ImageHeaderInfo& info, DWORD size) {
    Require(info.headerLength % 4 == 0 && info.headerLength > 12 && info.headerLength <= size);
    Require(std::memchr(info.str, 0, sizeof info.str) != nullptr);
    const BYTE* flags = &info.hasCrc;
    for (const BYTE* flag = flags; flag <= &info.hasVer; ++flag) {
        Require(*flag <= 1);
    }
    Require(info.hasCrc || info.crc == 0);
    Require(info.hasDpi || info.dpi == 0);
    Require(info.hasSub || info.sub == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0xFFFF) {
        return 0;  // long payloads add nothing to a header parser but time
    }
    const DWORD imageSize = static_cast<DWORD>(size);

    ImageHeaderInfo info;
    const HeaderCheck check = CheckImageHeader(data, imageSize, &info);
    ImageHeaderInfo again;
    const bool valid = ParseImageHeader(data, imageSize, &again);
    Require(valid == (check.fault == HeaderFault::None));
    if (valid) {
        CheckValidRecord(info, imageSize);
    }
    if (check.fault == HeaderFault::Entry) {
        Require(check.entryOffset >= 8 && check.entryOffset + 4 <= info.headerLength - 4);
    }

    // The update tests the working buffer; libFuzzer's own buffer is exact, so reads past the
    // image are caught there.
    CFirmwareImage image;
    Require(image.LoadFromBytes(data, imageSize) == TRUE);
    for (ImageKind kind : {ImageKind::Code, ImageKind::Logic}) {
        for (bool requireSub : {false, true}) {
            const AcceptanceStep step =
                CheckImageAcceptance(data, imageSize, kind, requireSub, &info);
            Require((step == AcceptanceStep::HeaderInvalid) == !valid);
            Require(step == CheckImageAcceptance(image.GetData(), image.GetImageSize(), kind,
                                                 requireSub, &info));
            Require(DescribeAcceptanceStep(step, kind)[0] != '\0');
        }
    }
    return 0;
}
