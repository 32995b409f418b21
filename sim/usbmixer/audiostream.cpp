#include "sim/usbmixer/audiostream.h"

#include <optional>

#include "sim/servedmixer.h"
#include "sim/usbmixer/usbdescriptors.h"

namespace sim {

AudioStream::AudioStream(portable::DeviceBackend* mixer) : m_mixer(mixer) {}

AudioStream::~AudioStream() {
    Stop();
}

bool AudioStream::Start() {
    Stop();
    const std::optional<UINT> device = MixerCaptureDevice(m_mixer);
    if (!device ||
        m_mixer->OpenWaveCapture(*device, kMixerCaptureFormat, &m_capture) != MMSYSERR_NOERROR ||
        m_capture->Prepare() != MMSYSERR_NOERROR || m_capture->Queue() != MMSYSERR_NOERROR ||
        m_capture->Start(m_startedAt = timeGetTime()) != MMSYSERR_NOERROR) {
        m_capture.reset();
        return false;
    }
    m_sent = 0;
    return true;
}

void AudioStream::Stop() {
    if (m_capture) {
        m_capture->Stop(timeGetTime());
        m_capture.reset();
    }
}

std::vector<std::vector<BYTE>> AudioStream::DuePackets(std::size_t most) {
    std::vector<std::vector<BYTE>> packets;
    if (!m_capture) {
        return packets;
    }
    const DWORD now = timeGetTime();
    const std::uint64_t due = static_cast<DWORD>(now - m_startedAt);
    if (due > m_sent + most) {
        m_sent = due - most;
    }
    // A capture that stalls (the mixer left the bus) has fewer bytes than its time: what has not
    // arrived goes out as silence, as the packets of a frame go out whatever is in them.
    const std::uint64_t arrived = m_capture->Arrived(m_startedAt, now);
    for (; m_sent < due; ++m_sent) {
        std::vector<BYTE> packet(kAudioPacketBytes, 0);
        const std::uint64_t offset = m_sent * kAudioPacketBytes;
        if (offset + kAudioPacketBytes <= arrived) {
            m_capture->Read(m_startedAt, offset, packet.data(), packet.size());
        }
        packets.push_back(std::move(packet));
    }
    return packets;
}

}  // namespace sim
