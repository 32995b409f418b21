#include "sim/simulatedvantor.h"

#include <cctype>
#include <cstdio>

namespace sim {

namespace {

constexpr const char* kHidClassSuffix = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";

// Reached as in a wrapping clock: the signed difference is not negative.
bool Reached(DWORD now, DWORD when) {
    return static_cast<LONG>(now - when) >= 0;
}

std::string Hex4(WORD value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string Identity(WORD productId) {
    return Hex4(kVendorId) + ":" + Hex4(productId);
}

}  // namespace

// One mixer on the bus, with the nodes and path it has while it is there.
struct SimulatedVantor::Mixer {
    explicit Mixer(const SimConfig& config) : protocol(config) {}

    MixerProtocol protocol;
    std::u16string serialNumber;
    bool present = false;
    bool gone = false;  // left for good
    unsigned generation = 0;
    bool arriving = false;
    DWORD arrivalAt = 0;
    WORD arrivalProductId = 0;
    DWORD installedAt = 0;
    DWORD usbNode = 0;
    DWORD hidNode = 0;
    std::string path;
    unsigned transfers = 0;
    // Read before the lock is taken: a transfer that overlaps another shows up here.
    std::atomic<unsigned> inFlight{0};
};

// A HID device of someone else: enumerated and described, but it knows no mixer commands.
struct SimulatedVantor::OtherHid {
    portable::DeviceInterfaceEntry entry;
    portable::HidDescription description;
    bool refusesReadWrite = false;  // held by the system, as keyboards and mice are
};

class SimulatedVantor::MixerChannel final : public portable::HidChannel {
public:
    MixerChannel(SimulatedVantor* sim, std::size_t unit, unsigned generation)
        : m_sim(sim), m_unit(unit), m_generation(generation) {}
    DWORD Describe(portable::HidDescription* description) override {
        return m_sim->Describe(m_unit, m_generation, description);
    }
    DWORD GetFeature(BYTE* report, std::size_t length) override {
        return m_sim->Transfer(m_unit, m_generation, false, report, length);
    }
    DWORD SetFeature(const BYTE* report, std::size_t length) override {
        // A set only reads the report; Transfer takes one buffer for both directions.
        return m_sim->Transfer(m_unit, m_generation, true, const_cast<BYTE*>(report), length);
    }

private:
    SimulatedVantor* m_sim;
    std::size_t m_unit;
    unsigned m_generation;
};

class SimulatedVantor::OtherHidChannel final : public portable::HidChannel {
public:
    explicit OtherHidChannel(const portable::HidDescription& description)
        : m_description(description) {}
    DWORD Describe(portable::HidDescription* description) override {
        *description = m_description;
        return ERROR_SUCCESS;
    }
    // Its reports are not the mixer's: the device stalls them.
    DWORD GetFeature(BYTE*, std::size_t) override { return ERROR_GEN_FAILURE; }
    DWORD SetFeature(const BYTE*, std::size_t) override { return ERROR_GEN_FAILURE; }

private:
    portable::HidDescription m_description;
};

SimulatedVantor::SimulatedVantor(const SimConfig& config) : m_config(config) {
    const DWORD controller =
        m_tree.Add(m_tree.GetRoot(), "PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    m_rootHub = m_tree.Add(controller, "USB\\ROOT_HUB30\\4&2A1F5C3&0&0");
    AddOtherDevices();

    const DWORD now = timeGetTime();
    const std::size_t count = config.secondMixer ? 2 : 1;
    for (std::size_t unit = 0; unit < count; ++unit) {
        auto mixer = std::make_unique<Mixer>(config);
        mixer->serialNumber = unit == 0 ? u"VT24A0117" : u"VT24A0342";
        m_mixers.push_back(std::move(mixer));
    }
    const WORD first = config.start == MixerStart::Update      ? kProductUpdate
                       : config.start == MixerStart::UpdateAlt ? kProductUpdateAlt
                                                               : kProductRun;
    if (config.start != MixerStart::Absent) {
        Arrive(0, first, now);
    } else {
        m_mixers[0]->gone = true;
    }
    if (config.secondMixer) {
        Arrive(1, kProductRun, now);
    }
    // Whatever was attached before the program started is installed already.
    for (auto& mixer : m_mixers) {
        mixer->installedAt = now;
    }
}

SimulatedVantor::~SimulatedVantor() {
    if (portable::CurrentDeviceBackend() == this) {
        portable::SetDeviceBackend(nullptr);
    }
}

void SimulatedVantor::AddOtherDevices() {
    // Listed before the mixer, as devices on lower ports are: a keyboard that Windows holds for
    // itself and a vendor's HID device that opens but is no mixer.
    struct Other {
        WORD vendorId, productId;
        const char* usbInstance;
        const char* hidPath;
        bool refuses;
    };
    const Other others[] = {
        {0x046D, 0xC31C, "USB\\VID_046D&PID_C31C\\5&1C4D3E2&0&1",
         "\\\\?\\hid#vid_046d&pid_c31c&mi_00#7&24b3a1c&0&0000", true},
        {0x04D8, 0x003F, "USB\\VID_04D8&PID_003F\\5&1C4D3E2&0&2",
         "\\\\?\\hid#vid_04d8&pid_003f#7&3a07e5d9&0&0000", false},
    };
    for (const Other& other : others) {
        const DWORD usb = m_tree.Add(m_rootHub, other.usbInstance);
        auto device = std::make_unique<OtherHid>();
        device->entry.path = std::string(other.hidPath) + kHidClassSuffix;
        device->entry.devInst = m_tree.Add(usb, std::string("HID\\") + other.usbInstance + "\\0");
        device->description.vendorId = other.vendorId;
        device->description.productId = other.productId;
        device->description.versionNumber = 0x0110;
        device->description.manufacturer = u"Other Vendor";
        device->description.caps.featureReportByteLength = other.refuses ? 0 : 9;
        device->refusesReadWrite = other.refuses;
        m_others.push_back(std::move(device));
    }
}

void SimulatedVantor::Arrive(std::size_t unit, WORD productId, DWORD now) {
    Mixer& mixer = *m_mixers[unit];
    const std::string port = unit == 0 ? "3" : "4";
    const std::string ids = "VID_0CA8&PID_" + Hex4(productId);
    ++mixer.generation;
    // The composite device, its HID interface function, and the HID device node under it: the
    // node whose DevInst the interface reports.
    mixer.usbNode = m_tree.Add(m_rootHub, "USB\\" + ids + "\\5&1C4D3E2&0&" + port);
    const DWORD function = m_tree.Add(mixer.usbNode, "USB\\" + ids + "&MI_00\\6&2B8F1A7&0&0000");
    mixer.hidNode = m_tree.Add(function, "HID\\" + ids + "&MI_00\\7&1F2E3D4C&0&0000");
    std::string instance = "8&1f2e3d4c&" + std::to_string(mixer.generation) + "&" + port;
    if (m_config.faults.longPath && unit == 0) {
        instance += "&" + std::string(220, '0');
    }
    std::string lowerIds = "vid_0ca8&pid_" + Hex4(productId);
    for (char& c : lowerIds) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    mixer.path = "\\\\?\\hid#" + lowerIds + "&mi_00#" + instance + kHidClassSuffix;
    mixer.protocol.Start(productId);
    mixer.present = true;
    mixer.arriving = false;
    mixer.installedAt = now + m_config.timing.installationMs;
    Log("plug " + Identity(productId));
}

void SimulatedVantor::Leave(Mixer& mixer) {
    m_tree.Remove(mixer.usbNode);
    mixer.present = false;
    mixer.usbNode = mixer.hidNode = 0;
    Log("unplug " + Identity(mixer.protocol.GetProductId()));
}

void SimulatedVantor::Advance(DWORD now) {
    for (std::size_t unit = 0; unit < m_mixers.size(); ++unit) {
        const Mixer& mixer = *m_mixers[unit];
        if (mixer.arriving && Reached(now, mixer.arrivalAt)) {
            Arrive(unit, mixer.arrivalProductId, mixer.arrivalAt);
        }
    }
}

SimulatedVantor::Mixer* SimulatedVantor::Live(std::size_t unit, unsigned generation) {
    Mixer& mixer = *m_mixers[unit];
    return mixer.present && mixer.generation == generation ? &mixer : nullptr;
}

std::vector<portable::DeviceInterfaceEntry> SimulatedVantor::PresentInterfaces(
    portable::InterfaceClass interfaceClass) {
    std::lock_guard lock(m_mutex);
    Advance(timeGetTime());
    std::vector<portable::DeviceInterfaceEntry> entries;
    if (interfaceClass != portable::InterfaceClass::Hid) {
        return entries;
    }
    for (const auto& other : m_others) {
        entries.push_back(other->entry);
    }
    for (const auto& mixer : m_mixers) {
        if (mixer->present) {
            entries.push_back({mixer->path, mixer->hidNode});
        }
    }
    return entries;
}

bool SimulatedVantor::ParentNode(DWORD devInst, DWORD* parent) {
    std::lock_guard lock(m_mutex);
    Advance(timeGetTime());
    return m_tree.Parent(devInst, parent);
}

DWORD SimulatedVantor::OpenHid(const std::string& path, DWORD desiredAccess, DWORD shareMode,
                               std::shared_ptr<portable::HidChannel>* channel) {
    (void)shareMode;
    std::lock_guard lock(m_mutex);
    Advance(timeGetTime());
    for (const auto& other : m_others) {
        if (other->entry.path == path) {
            if (other->refusesReadWrite && (desiredAccess & (GENERIC_READ | GENERIC_WRITE)) != 0) {
                return ERROR_ACCESS_DENIED;
            }
            *channel = std::make_shared<OtherHidChannel>(other->description);
            return ERROR_SUCCESS;
        }
    }
    for (std::size_t unit = 0; unit < m_mixers.size(); ++unit) {
        const Mixer& mixer = *m_mixers[unit];
        if (mixer.present && mixer.path == path) {
            *channel = std::make_shared<MixerChannel>(this, unit, mixer.generation);
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

bool SimulatedVantor::InstallationPending() {
    std::lock_guard lock(m_mutex);
    const DWORD now = timeGetTime();
    Advance(now);
    for (const auto& mixer : m_mixers) {
        if (mixer->present && !Reached(now, mixer->installedAt)) {
            return true;
        }
    }
    return false;
}

DWORD SimulatedVantor::Describe(std::size_t unit, unsigned generation,
                                portable::HidDescription* description) {
    std::lock_guard lock(m_mutex);
    Advance(timeGetTime());
    const Mixer* mixer = Live(unit, generation);
    if (mixer == nullptr) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    const WORD productId = mixer->protocol.GetProductId();
    description->vendorId = kVendorId;
    description->productId = productId;
    description->versionNumber = productId == kProductRun ? 0x0214 : 0x0102;
    description->manufacturer = u"Corvena";
    description->product = productId == kProductRun ? u"Vantor" : u"Vantor Updater";
    description->serialNumber = mixer->serialNumber;
    description->hasPreparsedData = !(m_config.faults.noPreparsedData && unit == 0);
    description->caps.usagePage = 0xFF00;  // vendor-defined
    description->caps.usage = 0x0001;
    description->caps.featureReportByteLength = m_config.featureReportByteLength;
    return ERROR_SUCCESS;
}

DWORD SimulatedVantor::Transfer(std::size_t unit, unsigned generation, bool set, BYTE* report,
                                std::size_t length) {
    // A mixer's control pipe carries one transfer at a time; a second one starting while the first
    // is on the wire means the host failed to serialise them.
    std::atomic<unsigned>& inFlight = m_mixers[unit]->inFlight;
    if (inFlight.fetch_add(1) != 0) {
        m_overlaps.fetch_add(1);
    }
    if (m_config.timing.transferMs != 0) {
        Sleep(m_config.timing.transferMs);
    }
    std::lock_guard lock(m_mutex);
    const DWORD now = timeGetTime();
    Advance(now);
    Mixer* mixer = Live(unit, generation);
    DWORD error = ERROR_DEVICE_NOT_CONNECTED;
    std::string what;
    if (mixer != nullptr) {
        MixerProtocol::Restart restart = MixerProtocol::Restart::None;
        DWORD word = 0;
        if (set) {
            error = mixer->protocol.Take(report, length, now, &what, &restart);
        } else {
            error = mixer->protocol.Answer(report, length, now, &word);
            if (error == ERROR_SUCCESS && Logging()) {
                char text[12];
                std::snprintf(text, sizeof text, "%08X", word);
                what = text;
            }
        }
        LogTransfer(unit, set, report[0], what, error);
        if (restart != MixerProtocol::Restart::None) {
            Leave(*mixer);
            mixer->arriving = true;
            mixer->arrivalAt = now + m_config.timing.restartMs;
            mixer->arrivalProductId = restart == MixerProtocol::Restart::IntoUpdate
                                          ? m_config.updateProductId
                                      : restart == MixerProtocol::Restart::IntoApplication
                                          ? kProductRun
                                          : mixer->protocol.GetProductId();
        }
        ++mixer->transfers;
        if (unit == 0 && mixer->transfers == m_config.faults.unplugAfterTransfers &&
            mixer->present) {
            Leave(*mixer);
            mixer->arriving = false;
            mixer->gone = true;
        }
    } else {
        // Gone from the bus: the transcript still says what was lost.
        if (set && Logging()) {
            what = m_mixers[unit]->protocol.Describe(report, length);
        }
        LogTransfer(unit, set, report[0], what, error);
    }
    inFlight.fetch_sub(1);
    return error;
}

bool SimulatedVantor::Logging() const {
    return m_config.keepTranscript || m_config.transcript != nullptr;
}

void SimulatedVantor::Log(const std::string& line) {
    if (m_config.keepTranscript) {
        m_transcript.push_back(line);
    }
    if (m_config.transcript != nullptr) {
        *m_config.transcript << line << '\n';
    }
}

void SimulatedVantor::LogTransfer(std::size_t unit, bool set, BYTE reportId,
                                  const std::string& what, DWORD error) {
    if (!Logging()) {
        return;
    }
    char line[16];
    std::snprintf(line, sizeof line, "%s %02X", set ? "set" : "get", reportId);
    std::string text = line;
    if (!what.empty()) {
        text += " " + what;
    }
    if (error != ERROR_SUCCESS) {
        text += " failed " + std::to_string(error);
    }
    if (unit != 0) {
        text += " (mixer 2)";
    }
    Log(text);
}

void SimulatedVantor::Replug() {
    std::lock_guard lock(m_mutex);
    const DWORD now = timeGetTime();
    Advance(now);
    Mixer& mixer = *m_mixers[0];
    if (mixer.present || mixer.arriving) {
        return;
    }
    mixer.gone = false;
    m_config.faults.unplugAfterTransfers = 0;
    Arrive(0, mixer.protocol.GetProductId(), now);
}

std::vector<std::string> SimulatedVantor::GetTranscript() const {
    std::lock_guard lock(m_mutex);
    return m_transcript;
}

std::vector<BYTE> SimulatedVantor::GetCodeFlash() const {
    std::lock_guard lock(m_mutex);
    return m_mixers[0]->protocol.GetCodeImage().GetData();
}

std::vector<BYTE> SimulatedVantor::GetLogicFlash() const {
    std::lock_guard lock(m_mutex);
    return m_mixers[0]->protocol.GetLogicImage().GetData();
}

bool SimulatedVantor::IsMixerPresent() {
    std::lock_guard lock(m_mutex);
    Advance(timeGetTime());
    return m_mixers[0]->present;
}

WORD SimulatedVantor::GetMixerProductId() {
    std::lock_guard lock(m_mutex);
    Advance(timeGetTime());
    return m_mixers[0]->protocol.GetProductId();
}

}  // namespace sim
