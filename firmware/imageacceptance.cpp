#include "firmware/imageacceptance.h"

#include "firmware/crc32.h"

AcceptanceStep CheckImageAcceptance(const BYTE* image, DWORD size, ImageKind kind, bool requireSub,
                                    ImageHeaderInfo* info) {
    if (!ParseImageHeader(image, size, info)) {
        return AcceptanceStep::HeaderInvalid;
    }
    const BYTE hasMarker = kind == ImageKind::Code ? info->hasCod : info->hasLgc;
    if (!hasMarker) {
        return AcceptanceStep::NoMarker;
    }
    if (!info->hasDpi) {
        return AcceptanceStep::NoDpi;
    }
    if (info->dpi != REQUIRED_DPI) {
        return AcceptanceStep::WrongDpi;
    }
    // The code image never carries sub; the rule belongs to the 0x0804 mixer's logic image.
    if (kind == ImageKind::Logic && requireSub && (!info->hasSub || info->sub != REQUIRED_SUB)) {
        return AcceptanceStep::WrongSub;
    }
    if (!info->hasCrc) {
        return AcceptanceStep::NoCrc;
    }
    const DWORD headerLength = info->headerLength;  // not beyond size: the parser checked
    if (Crc32(0xFFFFFFFF, image + headerLength, size - headerLength) != info->crc) {
        return AcceptanceStep::WrongPayloadCrc;
    }
    return AcceptanceStep::Accepted;
}

bool AcceptImage(const BYTE* image, DWORD size, ImageKind kind, bool requireSub,
                 ImageHeaderInfo* info) {
    return CheckImageAcceptance(image, size, kind, requireSub, info) == AcceptanceStep::Accepted;
}

const char* DescribeAcceptanceStep(AcceptanceStep step, ImageKind kind) {
    switch (step) {
        case AcceptanceStep::Accepted:
            return "accepted";
        case AcceptanceStep::HeaderInvalid:
            return "header invalid";
        case AcceptanceStep::NoMarker:
            return kind == ImageKind::Code ? "no cod entry" : "no lgc entry";
        case AcceptanceStep::NoDpi:
            return "no dpi entry";
        case AcceptanceStep::WrongDpi:
            return "dpi is not 0x000C0002";
        case AcceptanceStep::WrongSub:
            return "sub is missing or not 7";
        case AcceptanceStep::NoCrc:
            return "no crc entry";
        case AcceptanceStep::WrongPayloadCrc:
            return "payload CRC does not match";
    }
    return "unknown step";
}
