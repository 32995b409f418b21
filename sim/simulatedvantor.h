// A Windows system with a Vantor attached, as the device stand-ins see it: the device tree of a USB
// composite device with its HID interface and its audio function, other HID and audio devices
// beside it, the wave devices and their capture streams, the mixer's modes and restarts on the
// process clock, its command protocol and flash, its failures, and a transcript of every transfer.
// This class answers the stand-ins under one lock; the mixers' comings and goings are MixerBus's,
// their names mixernames.h', their transfers MixerTransfers' and their captures MixerCapture's.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/portable/devicebackend.h"
#include "sim/devicetree.h"
#include "sim/mixerbus.h"
#include "sim/mixertransfers.h"
#include "sim/otherdevices.h"
#include "sim/simconfig.h"
#include "sim/transcript.h"

namespace sim {

class SimulatedVantor final : public portable::DeviceBackend {
public:
    explicit SimulatedVantor(const SimConfig& config);
    ~SimulatedVantor() override;
    SimulatedVantor(const SimulatedVantor&) = delete;
    SimulatedVantor& operator=(const SimulatedVantor&) = delete;

    std::vector<portable::DeviceInterfaceEntry> PresentInterfaces(
        portable::InterfaceClass interfaceClass) override;
    bool ParentNode(DWORD devInst, DWORD* parent) override;
    DWORD OpenHid(const std::string& path, DWORD desiredAccess, DWORD shareMode,
                  std::shared_ptr<portable::HidChannel>* channel) override;
    bool InstallationPending() override;
    std::vector<portable::WaveDeviceEntry> WaveDevices(portable::WaveDirection direction) override;
    UINT OpenWaveCapture(UINT id, const portable::PcmFormat& format,
                         std::shared_ptr<portable::WaveCapture>* capture) override;

    // The person plugs the first mixer in again after it left for good: it arrives at once, in the
    // mode it was in, with its flash as it was.
    void Replug();

    // What a test or the command line looks at afterwards. All refer to the first mixer.
    std::vector<std::string> GetTranscript() const;
    std::vector<BYTE> GetCodeFlash() const;
    std::vector<BYTE> GetLogicFlash() const;
    bool IsMixerPresent();
    WORD GetMixerProductId();
    // Transfers that began while another one to the same mixer was still on the wire.
    unsigned GetOverlappingTransfers() const { return m_transfers.Overlaps(); }
    // In a replay: the first transfer that was not the recorded one (empty while each was), and
    // what the recording holds that the run has not asked (empty once it has, or once it differed).
    std::string GetReplayDifference() const;
    std::string GetReplayUnasked() const;

private:
    struct WaveEndpoint;
    // The wave devices of a direction in the order of their ids. The caller holds m_mutex.
    std::vector<WaveEndpoint> Endpoints(portable::WaveDirection direction) const;

    SimConfig m_config;          // its faults change on Replug, under m_mutex
    mutable std::mutex m_mutex;  // everything below
    DeviceTree m_tree;
    DWORD m_rootHub;
    std::unique_ptr<OtherDevices> m_others;
    Transcript m_transcript;
    MixerBus m_bus;
    MixerTransfers m_transfers;
};

}  // namespace sim
