#include "programs/carriedimages.h"

#include <cstdio>

#include "device/mixerids.h"
#include "firmware/firmwareimage.h"
#include "firmware/imagereport.h"
#include "resources/resource.h"

namespace programs {

namespace {

// The images as the update loads them: the logic image for the identity the mixer is updated
// under, and the sub rule only under 0x0804.
struct CarriedImage {
    WORD resourceId;
    ImageKind kind;
    WORD updateIdentity;  // the logic image's; 0 for the code image
    bool requireSub;
};

constexpr CarriedImage kCarriedImages[] = {
    {IDR_CODE_IMAGE, ImageKind::Code, 0, false},
    {IDR_LOGIC_IMAGE_0800, ImageKind::Logic, PRODUCT_ID_UPDATE, false},
    {IDR_LOGIC_IMAGE_0804, ImageKind::Logic, PRODUCT_ID_UPDATE_ALT, true},
};

std::string Role(const CarriedImage& image) {
    if (image.kind == ImageKind::Code) {
        return "code image";
    }
    char identity[8];
    std::snprintf(identity, sizeof identity, "0x%04X", image.updateIdentity);
    return std::string("logic image for update identity ") + identity;
}

// One image's part of the report; false when the update would not take it.
bool ReportImage(const CarriedImage& carried, std::string* report) {
    *report += "resource " + std::to_string(carried.resourceId) + ": " + Role(carried) + "\n";
    CFirmwareImage image;
    switch (image.LoadFromResource(GetModuleHandleA(nullptr), carried.resourceId)) {
        case ImageLoadResult::Loaded:
            break;
        case ImageLoadResult::NotFound:
            // The update goes on without a logic image, and cannot start without the code image.
            if (carried.kind == ImageKind::Logic) {
                *report += "not in this program: such a mixer keeps the logic it has\n";
                return true;
            }
            *report += "not in this program: the update cannot run without it\n";
            return false;
        case ImageLoadResult::NotLoadable:
            *report += "cannot be loaded (error " + std::to_string(GetLastError()) + ")\n";
            return false;
    }
    WriteImageReport(image.GetData(), image.GetImageSize(), report);
    AcceptanceStep step = AcceptanceStep::Accepted;
    *report += "the update's acceptance check: " +
               AcceptanceVerdict(image.GetData(), image.GetImageSize(), carried.kind,
                                 carried.requireSub, &step) +
               "\n";
    return step == AcceptanceStep::Accepted;
}

}  // namespace

int ReportCarriedImages(std::string* report) {
    bool accepted = true;
    for (const CarriedImage& carried : kCarriedImages) {
        if (carried.resourceId != IDR_CODE_IMAGE) {
            *report += "\n";
        }
        accepted = ReportImage(carried, report) && accepted;
    }
    return accepted ? ERROR_SUCCESS : ERROR_BAD_FORMAT;
}

}  // namespace programs
