#include "hardware/alsacapture.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win32api.h"

namespace hardware {

namespace {

// How long a stop waits for the reading thread. A device that stalls in the middle of a read
// (a capture that never delivers) keeps that thread; the stop does not wait for it for ever.
constexpr auto kStopWait = std::chrono::milliseconds(500);
// One period of 10 ms at 48 kHz per read, as a USB audio card delivers them.
constexpr snd_pcm_uframes_t kChunkFrames = 480;

// What the reading thread and the stream share; the thread keeps it alive, so a thread left
// behind by a stop still has it.
struct Run {
    explicit Run(snd_pcm_t* handle, unsigned frameBytes) : pcm(handle), bytesPerFrame(frameBytes) {}
    ~Run() { snd_pcm_close(pcm); }

    snd_pcm_t* pcm;
    unsigned bytesPerFrame;
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<BYTE> data;  // the run's bytes, from its start
    bool reading = false;
    std::atomic<bool> stop{false};
};

void ReadUntilStopped(const std::shared_ptr<Run>& run) {
    std::vector<BYTE> chunk(kChunkFrames * run->bytesPerFrame);
    while (!run->stop) {
        const snd_pcm_sframes_t frames = snd_pcm_readi(run->pcm, chunk.data(), kChunkFrames);
        if (frames == -EPIPE || frames == -ESTRPIPE) {
            // An overrun: the samples lost are lost, as on Windows; the stream goes on.
            if (snd_pcm_recover(run->pcm, static_cast<int>(frames), 1) == 0) {
                continue;
            }
        }
        if (frames < 0) {
            break;  // the device failed: the run stalls where it is
        }
        std::lock_guard lock(run->mutex);
        run->data.insert(
            run->data.end(), chunk.begin(),
            chunk.begin() + frames * static_cast<snd_pcm_sframes_t>(run->bytesPerFrame));
    }
    std::lock_guard lock(run->mutex);
    run->reading = false;
    run->ended.notify_all();
}

class AlsaCapture : public portable::WaveCapture {
public:
    AlsaCapture(snd_pcm_t* pcm, unsigned bytesPerFrame)
        : m_run(std::make_shared<Run>(pcm, bytesPerFrame)) {}
    ~AlsaCapture() override { Stop(0); }

    UINT Prepare() override { return MMSYSERR_NOERROR; }
    UINT Queue() override { return MMSYSERR_NOERROR; }

    UINT Start(DWORD /*now*/) override {
        Stop(0);
        {
            std::lock_guard lock(m_run->mutex);
            if (m_run->reading) {
                return MMSYSERR_ERROR;  // the last run's thread is stuck in a read
            }
        }
        if (snd_pcm_prepare(m_run->pcm) < 0 || snd_pcm_start(m_run->pcm) < 0) {
            return MMSYSERR_ERROR;
        }
        {
            std::lock_guard lock(m_run->mutex);
            m_run->data.clear();
            m_run->reading = true;
        }
        m_run->stop = false;
        std::thread(ReadUntilStopped, m_run).detach();
        return MMSYSERR_NOERROR;
    }

    void Stop(DWORD /*now*/) override {
        m_run->stop = true;
        std::unique_lock lock(m_run->mutex);
        if (!m_run->ended.wait_for(lock, kStopWait, [this] { return !m_run->reading; })) {
            // Stuck in a read of a device that delivers nothing: the thread keeps the PCM, and
            // this stream takes no more runs.
            return;
        }
        lock.unlock();
        snd_pcm_drop(m_run->pcm);
    }

    std::uint64_t Arrived(DWORD /*startedAt*/, DWORD /*now*/) override {
        std::lock_guard lock(m_run->mutex);
        return m_run->data.size();
    }

    void Read(DWORD /*startedAt*/, std::uint64_t offset, BYTE* data, std::size_t length) override {
        std::lock_guard lock(m_run->mutex);
        std::memcpy(data, m_run->data.data() + offset, length);
    }

private:
    std::shared_ptr<Run> m_run;
};

UINT OpenResult(int error) {
    switch (-error) {
        case EBUSY:
            return MMSYSERR_ALLOCATED;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return MMSYSERR_BADDEVICEID;
        case ENOMEM:
            return MMSYSERR_NOMEM;
        default:
            return MMSYSERR_ERROR;
    }
}

}  // namespace

UINT OpenAlsaCapture(const std::string& pcmName, const portable::PcmFormat& format,
                     std::shared_ptr<portable::WaveCapture>* capture) {
    if (format.bitsPerSample != 16) {
        return WAVERR_BADFORMAT;  // the wizard records 16-bit samples; nothing else is offered
    }
    snd_pcm_t* pcm = nullptr;
    const int opened = snd_pcm_open(&pcm, pcmName.c_str(), SND_PCM_STREAM_CAPTURE, 0);
    if (opened < 0) {
        return OpenResult(opened);
    }
    snd_pcm_hw_params_t* params = nullptr;
    snd_pcm_hw_params_alloca(&params);
    const bool accepted =
        snd_pcm_hw_params_any(pcm, params) >= 0 &&
        snd_pcm_hw_params_set_access(pcm, params, SND_PCM_ACCESS_RW_INTERLEAVED) >= 0 &&
        snd_pcm_hw_params_set_format(pcm, params, SND_PCM_FORMAT_S16_LE) >= 0 &&
        snd_pcm_hw_params_set_channels(pcm, params, format.channels) >= 0 &&
        snd_pcm_hw_params_set_rate(pcm, params, format.samplesPerSecond, 0) >= 0 &&
        snd_pcm_hw_params(pcm, params) >= 0;
    if (!accepted) {
        snd_pcm_close(pcm);
        return WAVERR_BADFORMAT;
    }
    *capture = std::make_shared<AlsaCapture>(pcm, format.channels * 2u);
    return MMSYSERR_NOERROR;
}

}  // namespace hardware
