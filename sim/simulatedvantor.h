// A Windows system with a Vantor attached, as the device stand-ins see it: the device tree of a USB
// composite device with its HID interface and its audio function, other HID and audio devices
// beside it, the wave devices and their capture streams, the mixer's modes and restarts on the
// process clock, its command protocol and flash, its failures, and a transcript of every transfer.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/portable/devicebackend.h"
#include "sim/devicetree.h"
#include "sim/mixerprotocol.h"
#include "sim/otherdevices.h"
#include "sim/simconfig.h"

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
    unsigned GetOverlappingTransfers() const { return m_overlaps.load(); }

private:
    class MixerChannel;
    class MixerCapture;
    struct Mixer;
    struct WaveEndpoint;

    void Arrive(std::size_t unit, WORD productId, DWORD now);
    void AddAudioFunction(std::size_t unit);
    void Leave(Mixer& mixer, DWORD now);
    // The person pulls the mixer out, and it stays out until Replug.
    void PullOut(Mixer& mixer, DWORD now);
    // The wave devices of a direction in the order of their ids. The caller holds m_mutex.
    std::vector<WaveEndpoint> Endpoints(portable::WaveDirection direction) const;
    void Advance(DWORD now);
    DWORD Describe(std::size_t unit, unsigned generation, portable::HidDescription* description);
    DWORD Transfer(std::size_t unit, unsigned generation, bool set, BYTE* report,
                   std::size_t length);
    Mixer* Live(std::size_t unit, unsigned generation);
    bool Logging() const;
    void Log(const std::string& line);
    void LogTransfer(std::size_t unit, bool set, BYTE reportId, const std::string& what,
                     DWORD error);

    SimConfig m_config;
    mutable std::mutex m_mutex;
    DeviceTree m_tree;
    DWORD m_rootHub = 0;
    std::unique_ptr<OtherDevices> m_others;
    std::vector<std::unique_ptr<Mixer>> m_mixers;
    std::vector<std::string> m_transcript;
    std::atomic<unsigned> m_overlaps{0};
};

}  // namespace sim
