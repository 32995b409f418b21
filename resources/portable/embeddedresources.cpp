// Registers the program's resources with the portable resource services while the program starts,
// so that FindResourceA and LoadStringA find them as they would in a Windows executable.
#include <iterator>

#include "platform/portable/moduleresources.h"
#include "resources/resource.h"

// The firmware images are linked in whole by the assembler (firmware.S, made by the build);
// firmware.inc lists the ones this build carries as VANTOR_FIRMWARE(id).
#define VANTOR_FIRMWARE(id) \
    extern "C" const unsigned char vantor_firmware_##id[], vantor_firmware_##id##_end[];
#include "firmware.inc"
#undef VANTOR_FIRMWARE

namespace {

constexpr WORD kRcData = 10;  // RT_RCDATA's number

const portable::RawResource kRawResources[] = {
#define VANTOR_FIRMWARE(id)             \
    {kRcData, id, vantor_firmware_##id, \
     static_cast<DWORD>(vantor_firmware_##id##_end - vantor_firmware_##id)},
#include "firmware.inc"
#undef VANTOR_FIRMWARE
};

constexpr portable::StringResource kStrings[] = {
#define VANTOR_STRING(id, text) {id, text},
#include "resources/strings.inc"
#undef VANTOR_STRING
};

struct Registration {
    Registration() {
        portable::RegisterModuleResources(kRawResources, std::size(kRawResources), kStrings,
                                          std::size(kStrings));
    }
};

const Registration registration;

}  // namespace
