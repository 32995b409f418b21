#include "platform/portable/devicebackend.h"

#include <atomic>

namespace {

std::atomic<portable::DeviceBackend*> g_backend{nullptr};

}  // namespace

namespace portable {

void SetDeviceBackend(DeviceBackend* backend) {
    g_backend.store(backend);
}

DeviceBackend* CurrentDeviceBackend() {
    return g_backend.load();
}

}  // namespace portable
