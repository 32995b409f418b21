#include "sim/virtualmixer/hidrawbus.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "sim/reportdescriptor.h"
#include "sim/servedmixer.h"

namespace sim {

namespace {

namespace fs = std::filesystem;

std::string NodeName(unsigned number) {
    return "hidraw" + std::to_string(number);
}

}  // namespace

HidrawBus::HidrawBus(portable::DeviceBackend* backend, HidrawPlaces places, bool serveOtherDevices)
    : m_backend(backend), m_places(std::move(places)), m_serveOtherDevices(serveOtherDevices) {}

HidrawBus::~HidrawBus() {
    std::lock_guard lock(m_mutex);
    for (const auto& [number, node] : m_nodes) {
        Withdraw(node);
    }
}

unsigned HidrawBus::PortOf(const std::u16string& key) {
    auto found = std::find(m_ports.begin(), m_ports.end(), key);
    if (found == m_ports.end()) {
        found = m_ports.insert(m_ports.end(), key);
    }
    return static_cast<unsigned>(found - m_ports.begin()) + 3;  // ports 3, 4, ...
}

std::optional<SysfsNode> HidrawBus::Identify(const portable::DeviceInterfaceEntry& entry) {
    std::shared_ptr<portable::HidChannel> channel;
    portable::HidDescription description;
    if (m_backend->OpenHid(entry.path, GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, &channel) != ERROR_SUCCESS ||
        channel->Describe(&description) != ERROR_SUCCESS ||
        (!IsMixer(description) && !m_serveOtherDevices)) {
        return std::nullopt;
    }
    SysfsNode node;
    // A mixer keeps its port across restarts by its serial number; another device has its path.
    node.port = PortOf(IsMixer(description) ? description.serialNumber.value_or(u"")
                                            : std::u16string(entry.path.begin(), entry.path.end()));
    node.hidSerial = ++m_hidSerial;
    node.identity.name = AsciiText(description.manufacturer) + " " + AsciiText(description.product);
    node.identity.phys =
        "usb-0000:00:14.0-" + std::to_string(node.port) + "/input0";  // interface 0
    const WORD featureLength =
        description.hasPreparsedData ? description.caps.featureReportByteLength : 0;
    node.identity.reportDescriptor = MixerReportDescriptor(featureLength);
    node.identity.description = std::move(description);
    return node;
}

bool HidrawBus::Refresh(std::string* error) {
    const std::vector<portable::DeviceInterfaceEntry> present =
        m_backend->PresentInterfaces(portable::InterfaceClass::Hid);
    std::lock_guard lock(m_mutex);
    for (auto it = m_nodes.begin(); it != m_nodes.end();) {
        const bool stays = std::any_of(present.begin(), present.end(), [&](const auto& entry) {
            return entry.path == it->second.path;
        });
        if (stays) {
            ++it;
        } else {
            Withdraw(it->second);
            it = m_nodes.erase(it);
        }
    }
    for (const portable::DeviceInterfaceEntry& entry : present) {
        const bool served = std::any_of(m_nodes.begin(), m_nodes.end(), [&](const auto& node) {
            return node.second.path == entry.path;
        });
        if (served) {
            continue;
        }
        std::optional<SysfsNode> sysfs = Identify(entry);
        if (sysfs && !Publish(Node{entry.path, std::move(*sysfs)}, error)) {
            return false;
        }
    }
    return true;
}

bool HidrawBus::Publish(Node node, std::string* error) {
    unsigned number = 0;
    while (m_nodes.count(number) != 0) {
        ++number;
    }
    node.sysfs.name = NodeName(number);
    const fs::path link = fs::path(m_places.devDir) / node.sysfs.name;
    std::error_code failure;
    if (!WriteSysfsEntries(m_places.sysfs, node.sysfs)) {
        *error = "cannot write the sysfs entries of " + node.sysfs.name + " under " +
                 m_places.sysfs.devicesDir + ": " + std::strerror(errno);
        RemoveSysfsEntries(m_places.sysfs, node.sysfs);
        return false;
    }
    // The node is served before its name appears, so that whoever sees the name can open it.
    m_nodes.emplace(number, node);
    fs::create_symlink(fs::path(m_places.fileDir) / node.sysfs.name, link, failure);
    if (failure) {
        *error = "cannot make " + link.string() + ": " + failure.message();
        return false;
    }
    return true;
}

void HidrawBus::Withdraw(const Node& node) {
    std::error_code failure;
    fs::remove(fs::path(m_places.devDir) / node.sysfs.name, failure);
    RemoveSysfsEntries(m_places.sysfs, node.sysfs);
}

std::vector<std::string> HidrawBus::Names() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> names;
    for (const auto& [number, node] : m_nodes) {
        names.push_back(node.sysfs.name);
    }
    return names;
}

std::unique_ptr<HidrawFile> HidrawBus::Open(const std::string& name, int* error) const {
    std::unique_lock lock(m_mutex);
    const auto found = std::find_if(m_nodes.begin(), m_nodes.end(), [&](const auto& node) {
        return node.second.sysfs.name == name;
    });
    if (found == m_nodes.end()) {
        *error = ENOENT;
        return nullptr;
    }
    const std::string path = found->second.path;
    HidrawIdentity identity = found->second.sysfs.identity;
    lock.unlock();
    std::shared_ptr<portable::HidChannel> channel;
    if (m_backend->OpenHid(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &channel) != ERROR_SUCCESS) {
        *error = ENODEV;
        return nullptr;
    }
    return std::make_unique<HidrawFile>(std::move(channel), std::move(identity));
}

}  // namespace sim
