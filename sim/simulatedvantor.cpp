#include "sim/simulatedvantor.h"

#include <cctype>
#include <optional>

#include "sim/mixercapture.h"
#include "sim/mixerchannel.h"
#include "sim/processclock.h"

namespace sim {

namespace {

// The USB host controller and its root hub, under which every USB device of the system hangs.
DWORD AddRootHub(DeviceTree* tree) {
    const DWORD controller = tree->Add(tree->GetRoot(), "PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    return tree->Add(controller, "USB\\ROOT_HUB30\\4&2A1F5C3&0&0");
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

}  // namespace

// A wave device: the name its driver reports, and the mixer it belongs to, if any.
struct SimulatedVantor::WaveEndpoint {
    std::optional<std::u16string> interfaceName;
    std::optional<std::size_t> unit;
};

// The other devices are listed before the mixers, as devices on lower ports are.
SimulatedVantor::SimulatedVantor(const SimConfig& config)
    : m_config(config),
      m_rootHub(AddRootHub(&m_tree)),
      m_others(std::make_unique<OtherDevices>(&m_tree, m_rootHub)),
      m_transcript(config.keepTranscript, config.transcript),
      m_bus(m_config, &m_tree, m_rootHub, &m_transcript, timeGetTime()),
      m_transfers(&m_mutex, &m_config, &m_bus, &m_transcript) {}

SimulatedVantor::~SimulatedVantor() {
    if (portable::CurrentDeviceBackend() == this) {
        portable::SetDeviceBackend(nullptr);
    }
}

std::vector<portable::DeviceInterfaceEntry> SimulatedVantor::PresentInterfaces(
    portable::InterfaceClass interfaceClass) {
    std::lock_guard lock(m_mutex);
    m_bus.Advance(timeGetTime());
    std::vector<portable::DeviceInterfaceEntry> entries = m_others->Interfaces(interfaceClass);
    const bool audio = interfaceClass == portable::InterfaceClass::Audio;
    for (std::size_t unit = 0; unit < m_bus.Count(); ++unit) {
        const BusMixer& mixer = m_bus.At(unit);
        if (mixer.present && (!audio || mixer.audioNode != 0)) {
            entries.push_back(audio
                                  ? portable::DeviceInterfaceEntry{mixer.audioPath, mixer.audioNode}
                                  : portable::DeviceInterfaceEntry{mixer.path, mixer.hidNode});
        }
    }
    return entries;
}

bool SimulatedVantor::ParentNode(DWORD devInst, DWORD* parent) {
    std::lock_guard lock(m_mutex);
    m_bus.Advance(timeGetTime());
    return m_tree.Parent(devInst, parent);
}

DWORD SimulatedVantor::OpenHid(const std::string& path, DWORD desiredAccess, DWORD shareMode,
                               std::shared_ptr<portable::HidChannel>* channel) {
    (void)shareMode;
    std::lock_guard lock(m_mutex);
    m_bus.Advance(timeGetTime());
    DWORD error = ERROR_SUCCESS;
    if (m_others->OpenHid(path, desiredAccess, &error, channel)) {
        return error;
    }
    for (std::size_t unit = 0; unit < m_bus.Count(); ++unit) {
        const BusMixer& mixer = m_bus.At(unit);
        if (mixer.present && mixer.path == path) {
            *channel = std::make_shared<MixerChannel>(&m_transfers, unit, mixer.generation);
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

bool SimulatedVantor::InstallationPending() {
    std::lock_guard lock(m_mutex);
    const DWORD now = timeGetTime();
    m_bus.Advance(now);
    for (std::size_t unit = 0; unit < m_bus.Count(); ++unit) {
        const BusMixer& mixer = m_bus.At(unit);
        if (mixer.present && !Reached(now, mixer.installedAt)) {
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
    for (std::size_t unit = 0; unit < m_bus.Count(); ++unit) {
        const BusMixer& mixer = m_bus.At(unit);
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
    m_bus.Advance(timeGetTime());
    std::vector<portable::WaveDeviceEntry> devices;
    for (const WaveEndpoint& endpoint : Endpoints(direction)) {
        devices.push_back({endpoint.interfaceName});
    }
    return devices;
}

UINT SimulatedVantor::OpenWaveCapture(UINT id, const portable::PcmFormat& format,
                                      std::shared_ptr<portable::WaveCapture>* capture) {
    std::lock_guard lock(m_mutex);
    m_bus.Advance(timeGetTime());
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
    if (format.channels != 2 || format.samplesPerSecond != TEST_SIGNAL_RATE ||
        format.bitsPerSample != 16) {
        return WAVERR_BADFORMAT;
    }
    if (*unit == 0 && m_config.audio.openResult != MMSYSERR_NOERROR) {
        return m_config.audio.openResult;
    }
    *capture =
        std::make_shared<MixerCapture>(&m_mutex, &m_bus, &m_transcript, *unit, m_config.audio);
    return MMSYSERR_NOERROR;
}

void SimulatedVantor::Replug() {
    std::lock_guard lock(m_mutex);
    const DWORD now = timeGetTime();
    m_bus.Advance(now);
    BusMixer& mixer = m_bus.At(0);
    if (mixer.present || mixer.arriving) {
        return;
    }
    m_config.faults.unplugAfterTransfers = 0;
    m_config.faults.unplugAtBlock = 0;
    m_bus.Arrive(mixer, mixer.protocol.GetProductId(), now);
}

std::vector<std::string> SimulatedVantor::GetTranscript() const {
    std::lock_guard lock(m_mutex);
    return m_transcript.Lines();
}

std::vector<BYTE> SimulatedVantor::GetCodeFlash() const {
    std::lock_guard lock(m_mutex);
    return m_bus.At(0).protocol.GetCodeImage().GetData();
}

std::vector<BYTE> SimulatedVantor::GetLogicFlash() const {
    std::lock_guard lock(m_mutex);
    return m_bus.At(0).protocol.GetLogicImage().GetData();
}

bool SimulatedVantor::IsMixerPresent() {
    std::lock_guard lock(m_mutex);
    m_bus.Advance(timeGetTime());
    return m_bus.At(0).present;
}

WORD SimulatedVantor::GetMixerProductId() {
    std::lock_guard lock(m_mutex);
    m_bus.Advance(timeGetTime());
    return m_bus.At(0).protocol.GetProductId();
}

std::string SimulatedVantor::GetReplayDifference() const {
    std::lock_guard lock(m_mutex);
    const Replay* replay = m_transfers.GetReplay();
    return replay != nullptr ? replay->Difference() : std::string();
}

std::string SimulatedVantor::GetReplayUnasked() const {
    std::lock_guard lock(m_mutex);
    const Replay* replay = m_transfers.GetReplay();
    return replay != nullptr ? replay->Unasked() : std::string();
}

}  // namespace sim
