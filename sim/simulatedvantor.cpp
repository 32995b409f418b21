#include "sim/simulatedvantor.h"

#include <cctype>
#include <cstdio>
#include <optional>

#include "sim/processclock.h"

namespace sim {

namespace {

// The room that a wave device's interface name has in the wizard, NUL included, in UTF-16.
constexpr std::size_t kInterfaceNameRoom = 1024;

std::string Hex4(WORD value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string Identity(WORD productId) {
    return Hex4(kVendorId) + ":" + Hex4(productId);
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// Device paths are ASCII.
std::u16string Widened(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// The second mixer signals and counts as the first one does, but shows none of its audio faults.
SimConfig ForSecondMixer(const SimConfig& config) {
    SimConfig second = config;
    second.audio = AudioConfig{};
    second.audio.signalDelayMs = config.audio.signalDelayMs;
    second.audio.signalSeed = config.audio.signalSeed;
    second.dante.failingRead = 0;
    return second;
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
    // The audio function, in application mode only: its node and its audio interface.
    DWORD audioNode = 0;
    std::string audioPath;
    DWORD leftAt = 0;  // when it last left the bus: a capture from it stalls there
    unsigned transfers = 0;
    // Read before the lock is taken: a transfer that overlaps another shows up here.
    std::atomic<unsigned> inFlight{0};
};

// A wave device: the name its driver reports, and the mixer it belongs to, if any.
struct SimulatedVantor::WaveEndpoint {
    std::optional<std::u16string> interfaceName;
    std::optional<std::size_t> unit;
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

// A capture from a mixer: its test signal, which stalls where the mixer left the bus.
class SimulatedVantor::MixerCapture final : public portable::WaveCapture {
public:
    // Made under the system's lock.
    MixerCapture(SimulatedVantor* sim, std::size_t unit)
        : m_sim(sim), m_unit(unit), m_generation(sim->m_mixers[unit]->generation) {
        if (unit == 0) {
            const AudioConfig& audio = sim->m_config.audio;
            m_prepareResult = audio.prepareResult;
            m_addResult = audio.addResult;
            m_startResult = audio.startResult;
            m_neverCompletes = audio.bufferNeverCompletes;
        }
    }

    UINT Prepare() override { return m_prepareResult; }
    UINT Queue() override { return m_addResult; }
    UINT Start(DWORD) override {
        if (m_startResult == MMSYSERR_NOERROR) {
            Log("audio: start");
        }
        return m_startResult;
    }
    void Stop(DWORD) override { Log("audio: stop"); }

    std::uint64_t Arrived(DWORD startedAt, DWORD now) override {
        if (m_neverCompletes) {
            return 0;
        }
        DWORD end = now;
        {
            std::lock_guard lock(m_sim->m_mutex);
            const Mixer& mixer = *m_sim->m_mixers[m_unit];
            if (!m_endedAt && (!mixer.present || mixer.generation != m_generation)) {
                m_endedAt = mixer.leftAt;
            }
            if (m_endedAt && Reached(end, *m_endedAt)) {
                end = *m_endedAt;
            }
        }
        return BytesArrived(startedAt, end, kSignalRate, kSignalFrameBytes);
    }

    void Read(DWORD startedAt, std::uint64_t offset, BYTE* data, std::size_t length) override {
        std::lock_guard lock(m_sim->m_mutex);
        m_sim->m_mixers[m_unit]->protocol.GetSignal().Read(startedAt, offset, data, length);
    }

private:
    void Log(const char* line) {
        std::lock_guard lock(m_sim->m_mutex);
        if (m_sim->Logging()) {
            m_sim->Log(m_unit == 0 ? std::string(line) : std::string(line) + " (mixer 2)");
        }
    }

    SimulatedVantor* m_sim;
    std::size_t m_unit;
    unsigned m_generation;
    UINT m_prepareResult = MMSYSERR_NOERROR;
    UINT m_addResult = MMSYSERR_NOERROR;
    UINT m_startResult = MMSYSERR_NOERROR;
    bool m_neverCompletes = false;
    std::optional<DWORD> m_endedAt;  // under the system's lock
};

SimulatedVantor::SimulatedVantor(const SimConfig& config) : m_config(config) {
    const DWORD controller =
        m_tree.Add(m_tree.GetRoot(), "PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    m_rootHub = m_tree.Add(controller, "USB\\ROOT_HUB30\\4&2A1F5C3&0&0");
    m_others = std::make_unique<OtherDevices>(&m_tree, m_rootHub);

    const DWORD now = timeGetTime();
    const std::size_t count = config.secondMixer ? 2 : 1;
    for (std::size_t unit = 0; unit < count; ++unit) {
        auto mixer = std::make_unique<Mixer>(unit == 0 ? config : ForSecondMixer(config));
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
    if (productId == kProductRun) {
        AddAudioFunction(unit);
    }
    mixer.protocol.Start(productId);
    mixer.present = true;
    mixer.arriving = false;
    mixer.installedAt = now + m_config.timing.installationMs;
    Log("plug " + Identity(productId) + (unit == 0 ? "" : " (mixer 2)"));
}

void SimulatedVantor::AddAudioFunction(std::size_t unit) {
    // Beside the HID interface function, under the same USB composite device.
    Mixer& mixer = *m_mixers[unit];
    const std::string port = unit == 0 ? "3" : "4";
    mixer.audioNode = m_tree.Add(mixer.usbNode, "USB\\VID_0CA8&PID_0801&MI_01\\6&2B8F1A7&0&0001");
    std::string path = "\\\\?\\usb#vid_0ca8&pid_0801&mi_01#7&a3b5c9e&" +
                       std::to_string(mixer.generation) + "&" + port;
    const std::string tail = std::string(kAudioClassSuffix) + "\\global";
    if (unit == 0 && m_config.audio.longInterfaceName) {
        // One character more than a 1,024-byte name buffer holds: the device-setup service still
        // gives the whole path to a detail buffer of 1,030 bytes, the wave driver's name no longer
        // fits.
        const std::size_t characters = kInterfaceNameRoom / sizeof(char16_t);
        path += "&" + std::string(characters - path.size() - tail.size() - 1, '0');
    }
    mixer.audioPath = path + tail;
}

void SimulatedVantor::Leave(Mixer& mixer, DWORD now) {
    m_tree.Remove(mixer.usbNode);
    mixer.present = false;
    mixer.usbNode = mixer.hidNode = mixer.audioNode = 0;
    mixer.audioPath.clear();
    mixer.leftAt = now;
    Log("unplug " + Identity(mixer.protocol.GetProductId()) +
        (&mixer == m_mixers[0].get() ? "" : " (mixer 2)"));
}

void SimulatedVantor::PullOut(Mixer& mixer, DWORD now) {
    // Out for good, whatever the last transfer started: a mixer on its way back from a restart
    // does not come back.
    if (mixer.present) {
        Leave(mixer, now);
    }
    mixer.arriving = false;
    mixer.gone = true;
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
    std::vector<portable::DeviceInterfaceEntry> entries = m_others->Interfaces(interfaceClass);
    const bool audio = interfaceClass == portable::InterfaceClass::Audio;
    for (const auto& mixer : m_mixers) {
        if (mixer->present && (!audio || mixer->audioNode != 0)) {
            entries.push_back(
                audio ? portable::DeviceInterfaceEntry{mixer->audioPath, mixer->audioNode}
                      : portable::DeviceInterfaceEntry{mixer->path, mixer->hidNode});
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
    DWORD error = ERROR_SUCCESS;
    if (m_others->OpenHid(path, desiredAccess, &error, channel)) {
        return error;
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

std::vector<SimulatedVantor::WaveEndpoint> SimulatedVantor::Endpoints(
    portable::WaveDirection direction) const {
    std::vector<WaveEndpoint> endpoints;
    for (std::u16string& name : m_others->WaveDeviceNames(direction)) {
        endpoints.push_back({std::move(name), std::nullopt});
    }
    // The mixer's capture and playback devices both stand on its one audio interface.
    for (std::size_t unit = 0; unit < m_mixers.size(); ++unit) {
        const Mixer& mixer = *m_mixers[unit];
        const bool faulty = unit == 0;
        if (!mixer.present || mixer.audioNode == 0 || (faulty && m_config.audio.noWaveDevices)) {
            continue;
        }
        const bool otherCase = faulty && m_config.audio.nameInOtherCase;
        endpoints.push_back({Widened(otherCase ? Upper(mixer.audioPath) : mixer.audioPath), unit});
    }
    return endpoints;
}

std::vector<portable::WaveDeviceEntry> SimulatedVantor::WaveDevices(
    portable::WaveDirection direction) {
    std::lock_guard lock(m_mutex);
    Advance(timeGetTime());
    std::vector<portable::WaveDeviceEntry> devices;
    for (const WaveEndpoint& endpoint : Endpoints(direction)) {
        devices.push_back({endpoint.interfaceName});
    }
    return devices;
}

UINT SimulatedVantor::OpenWaveCapture(UINT id, const portable::PcmFormat& format,
                                      std::shared_ptr<portable::WaveCapture>* capture) {
    std::lock_guard lock(m_mutex);
    Advance(timeGetTime());
    const std::vector<WaveEndpoint> endpoints = Endpoints(portable::WaveDirection::Capture);
    if (id >= endpoints.size()) {
        return MMSYSERR_BADDEVICEID;
    }
    const std::optional<std::size_t> unit = endpoints[id].unit;
    if (!unit) {
        *capture = OtherDevices::OpenCapture(format);
        return MMSYSERR_NOERROR;
    }
    // The mixer's audio function streams its one format.
    if (format.channels != 2 || format.samplesPerSecond != kSignalRate ||
        format.bitsPerSample != 16) {
        return WAVERR_BADFORMAT;
    }
    if (*unit == 0 && m_config.audio.openResult != MMSYSERR_NOERROR) {
        return m_config.audio.openResult;
    }
    *capture = std::make_shared<MixerCapture>(this, *unit);
    return MMSYSERR_NOERROR;
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
        if (unit == 0 && set && MixerProtocol::IsBlock(report, length) &&
            mixer->protocol.GetBlocksTaken() + 1 == m_config.faults.unplugAtBlock) {
            // Pulled out as the block goes on the wire: it never arrives, whatever the host's
            // speed made of the status reads before it.
            const std::string block = mixer->protocol.Describe(report, length);
            PullOut(*mixer, now);
            LogTransfer(unit, set, report[0], block, ERROR_DEVICE_NOT_CONNECTED);
            inFlight.fetch_sub(1);
            return ERROR_DEVICE_NOT_CONNECTED;
        }
        if (set) {
            error =
                mixer->protocol.Take(report, length, now, Logging() ? &what : nullptr, &restart);
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
            Leave(*mixer, now);
            mixer->arriving = true;
            mixer->arrivalAt = now + m_config.timing.restartMs;
            mixer->arrivalProductId = restart == MixerProtocol::Restart::IntoUpdate
                                          ? m_config.updateProductId
                                      : restart == MixerProtocol::Restart::IntoApplication
                                          ? kProductRun
                                          : mixer->protocol.GetProductId();
        }
        ++mixer->transfers;
        if (unit == 0 && mixer->transfers == m_config.faults.unplugAfterTransfers) {
            PullOut(*mixer, now);
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
    m_config.faults.unplugAtBlock = 0;
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
