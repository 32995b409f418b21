#include "sim/servedmixer.h"

#include <string>
#include <vector>

#include "device/mixerids.h"
#include "platform/portable/interfacepath.h"

namespace sim {

bool IsMixer(const portable::HidDescription& description) {
    const WORD product = description.productId;
    return description.vendorId == VENDOR_ID &&
           (product == PRODUCT_ID_RUN || product == PRODUCT_ID_UPDATE ||
            product == PRODUCT_ID_UPDATE_ALT);
}

std::optional<UINT> MixerCaptureDevice(portable::DeviceBackend* backend) {
    const std::vector<portable::WaveDeviceEntry> devices =
        backend->WaveDevices(portable::WaveDirection::Capture);
    const std::string ids = portable::UsbIds(VENDOR_ID, PRODUCT_ID_RUN);
    const std::u16string wanted(ids.begin(), ids.end());
    for (UINT id = 0; id < devices.size(); ++id) {
        std::u16string name = devices[id].interfaceName.value_or(u"");
        for (char16_t& c : name) {
            c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
        }
        if (name.find(wanted) != std::u16string::npos) {
            return id;
        }
    }
    return std::nullopt;
}

}  // namespace sim
