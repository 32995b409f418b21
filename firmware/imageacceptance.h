// Whether the update may send an image to the mixer. The steps run in a fixed order and the first
// that fails names the rejection; the update treats every rejection alike, tools report the step.
#pragma once

#include "firmware/imageheader.h"
#include "platform/win32api.h"

constexpr DWORD REQUIRED_DPI = 0x000C0002;
constexpr DWORD REQUIRED_SUB = 7;

enum class ImageKind {
    Code,   // resource 110, marked cod
    Logic,  // resources 111 and 112, marked lgc
};

// Values are the step numbers, so a tool can print them as they stand.
enum class AcceptanceStep {
    Accepted = 0,
    HeaderInvalid = 1,
    NoMarker = 2,  // no cod in a code image, no lgc in a logic image
    NoDpi = 3,
    WrongDpi = 4,
    WrongSub = 5,  // only when the sub rule applies: sub missing or not 7
    NoCrc = 6,
    WrongPayloadCrc = 7,
};

// Tests the size-byte image (the working buffer with the resource's size) and leaves the parsed
// header in info. requireSub applies to the logic image of a mixer under update-mode product
// 0x0804, which must carry sub = 7.
AcceptanceStep CheckImageAcceptance(const BYTE* image, DWORD size, ImageKind kind, bool requireSub,
                                    ImageHeaderInfo* info);

bool AcceptImage(const BYTE* image, DWORD size, ImageKind kind, bool requireSub,
                 ImageHeaderInfo* info);

// A short English phrase, e.g. "dpi is not 0x000C0002".
const char* DescribeAcceptanceStep(AcceptanceStep step, ImageKind kind);
