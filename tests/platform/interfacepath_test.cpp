// Device paths as the backends make them: the form the wizard's search takes apart on Windows.
#include "platform/portable/interfacepath.h"

#include <gtest/gtest.h>

#include "platform/interfaceclasses.h"

namespace {

TEST(InterfacePath, IsTheInstanceIdInLowerCaseWithTheClassBehind) {
    const struct {
        std::string instanceId;
        GUID interfaceClass;
        const char* path;
    } cases[] = {
        {"HID\\" + portable::UsbIds(0x0CA8, 0x0801) + "&MI_00\\8&1f2e3d4c&1&3", HID_INTERFACE_CLASS,
         "\\\\?\\hid#vid_0ca8&pid_0801&mi_00#8&1f2e3d4c&1&3#{4d1e55b2-f16f-11cf-88cb-"
         "001111000030}"},
        {"USB\\" + portable::UsbIds(0xBEEF, 0x00A0) + "\\card12", AUDIO_INTERFACE_CLASS,
         "\\\\?\\usb#vid_beef&pid_00a0#card12#{6994ad04-93ef-11d0-a3cc-00a0c9223196}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(portable::InterfacePath(c.instanceId, c.interfaceClass), c.path);
    }
}

}  // namespace
