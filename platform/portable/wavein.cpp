#include "platform/portable/wavein.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "platform/portable/duecaptures.h"

namespace {

// The application reads the flags with an interlocked operation while the audio thread may be
// setting them, so every access here is atomic too; the release store publishes the data and
// dwBytesRecorded written before it.
DWORD LoadFlags(const WAVEHDR* header) {
    return __atomic_load_n(&header->dwFlags, __ATOMIC_ACQUIRE);
}

void StoreFlags(WAVEHDR* header, DWORD flags) {
    __atomic_store_n(&header->dwFlags, flags, __ATOMIC_RELEASE);
}

struct RunningCaptures {
    std::mutex mutex;
    std::vector<std::weak_ptr<portable::WaveIn>> captures;
};

RunningCaptures& Running() {
    static RunningCaptures running;
    return running;
}

void AddRunning(const std::shared_ptr<portable::WaveIn>& capture) {
    RunningCaptures& running = Running();
    std::lock_guard lock(running.mutex);
    std::erase_if(running.captures, [](const auto& entry) { return entry.expired(); });
    running.captures.push_back(capture);
}

void RemoveRunning(const portable::WaveIn* capture) {
    RunningCaptures& running = Running();
    std::lock_guard lock(running.mutex);
    std::erase_if(running.captures, [capture](const auto& entry) {
        const auto live = entry.lock();
        return live == nullptr || live.get() == capture;
    });
}

}  // namespace

namespace portable {

WaveIn::WaveIn(std::shared_ptr<WaveCapture> capture) : m_capture(std::move(capture)) {}

WaveIn::~WaveIn() {
    // Only a handle that was never closed still has its thread here, at the latest when the
    // process ends.
    std::lock_guard control(m_control);
    EndAudioThread();
}

namespace {

std::atomic<std::size_t> g_leftPrepared{0};

}  // namespace

std::size_t HeadersLeftPreparedAtClose() {
    return g_leftPrepared.load();
}

MMRESULT WaveIn::Prepare(WAVEHDR* header) {
    std::lock_guard control(m_control);
    const DWORD flags = LoadFlags(header);
    if ((flags & WHDR_PREPARED) != 0) {
        return MMSYSERR_NOERROR;  // preparing twice has no effect
    }
    if (header->lpData == nullptr || header->dwBufferLength == 0) {
        return MMSYSERR_INVALPARAM;
    }
    const MMRESULT refused = m_capture->Prepare();
    if (refused != MMSYSERR_NOERROR) {
        return refused;
    }
    StoreFlags(header, flags | WHDR_PREPARED);
    m_prepared.insert(header);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveIn::Unprepare(WAVEHDR* header) {
    std::lock_guard control(m_control);
    const DWORD flags = LoadFlags(header);
    if ((flags & WHDR_INQUEUE) != 0) {
        return WAVERR_STILLPLAYING;
    }
    StoreFlags(header, flags & ~static_cast<DWORD>(WHDR_PREPARED));
    m_prepared.erase(header);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveIn::Add(WAVEHDR* header) {
    std::lock_guard control(m_control);
    const DWORD flags = LoadFlags(header);
    if ((flags & WHDR_PREPARED) == 0) {
        return WAVERR_UNPREPARED;
    }
    if ((flags & WHDR_INQUEUE) != 0) {
        return WAVERR_STILLPLAYING;
    }
    const MMRESULT refused = m_capture->Queue();
    if (refused != MMSYSERR_NOERROR) {
        return refused;
    }
    {
        std::lock_guard lock(m_mutex);
        header->dwBytesRecorded = 0;
        StoreFlags(header, (flags & ~static_cast<DWORD>(WHDR_DONE)) | WHDR_INQUEUE);
        m_queue.push_back(header);
    }
    Nudge();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveIn::Start() {
    std::lock_guard control(m_control);
    if (m_audio.joinable()) {
        return MMSYSERR_NOERROR;  // already running
    }
    const DWORD now = timeGetTime();
    const MMRESULT refused = m_capture->Start(now);
    if (refused != MMSYSERR_NOERROR) {
        return refused;
    }
    {
        std::lock_guard lock(m_mutex);
        m_running = true;
        m_endAudio = false;
        m_startedAt = now;
        m_consumed = 0;
        m_headFill = 0;
    }
    m_audio = std::thread(&WaveIn::RunAudio, this);
    AddRunning(shared_from_this());
    return MMSYSERR_NOERROR;
}

MMRESULT WaveIn::Stop() {
    std::lock_guard control(m_control);
    if (!m_audio.joinable()) {
        return MMSYSERR_NOERROR;
    }
    EndAudioThread();
    const DWORD now = timeGetTime();
    {
        std::lock_guard lock(m_mutex);
        // What arrived up to the stop is the driver's already; a buffer partly filled goes back
        // with what it holds, and empty buffers stay queued for the next start.
        Deliver(now);
        if (!m_queue.empty() && m_headFill != 0) {
            WAVEHDR* head = m_queue.front();
            m_queue.pop_front();
            Return(head, m_headFill);
            m_headFill = 0;
        }
        m_running = false;
    }
    m_capture->Stop(now);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveIn::Reset() {
    std::lock_guard control(m_control);
    if (m_audio.joinable()) {
        EndAudioThread();
        const DWORD now = timeGetTime();
        {
            std::lock_guard lock(m_mutex);
            Deliver(now);
            m_running = false;
        }
        m_capture->Stop(now);
    }
    std::lock_guard lock(m_mutex);
    // Every buffer goes back, the first with what it holds.
    while (!m_queue.empty()) {
        WAVEHDR* head = m_queue.front();
        m_queue.pop_front();
        Return(head, m_headFill);
        m_headFill = 0;
    }
    m_consumed = 0;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveIn::Close() {
    std::lock_guard control(m_control);
    {
        std::lock_guard lock(m_mutex);
        if (!m_queue.empty()) {
            return WAVERR_STILLPLAYING;
        }
    }
    // Windows lets a device close with a header still prepared, and the header's resources are
    // lost; a test sees it here.
    g_leftPrepared += m_prepared.size();
    if (m_audio.joinable()) {
        EndAudioThread();
        {
            std::lock_guard lock(m_mutex);
            m_running = false;
        }
        m_capture->Stop(timeGetTime());
    }
    return MMSYSERR_NOERROR;
}

bool WaveIn::HasDueBuffer(DWORD now) {
    std::lock_guard lock(m_mutex);
    if (!m_running || m_queue.empty()) {
        return false;
    }
    const std::uint64_t full = m_consumed + (m_queue.front()->dwBufferLength - m_headFill);
    return m_capture->Arrived(m_startedAt, now) >= full;
}

void WaveIn::Nudge() {
    m_wake.notify_all();
}

void WaveIn::RunAudio() {
    std::unique_lock lock(m_mutex);
    while (!m_endAudio) {
        Deliver(timeGetTime());
        // A short real pause between looks: a virtual clock moves without telling anyone.
        m_wake.wait_for(lock, std::chrono::milliseconds(1));
    }
}

void WaveIn::EndAudioThread() {
    if (!m_audio.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_endAudio = true;
    }
    Nudge();
    m_audio.join();
    RemoveRunning(this);
}

void WaveIn::Deliver(DWORD now) {
    if (!m_running) {
        return;
    }
    const std::uint64_t arrived = m_capture->Arrived(m_startedAt, now);
    while (m_consumed < arrived) {
        if (m_queue.empty()) {
            // Nothing queued to take it: the bytes are lost, as they are on Windows.
            m_consumed = arrived;
            break;
        }
        WAVEHDR* head = m_queue.front();
        const std::uint64_t room = head->dwBufferLength - m_headFill;
        const auto take = static_cast<std::size_t>(std::min(room, arrived - m_consumed));
        m_capture->Read(m_startedAt, m_consumed, reinterpret_cast<BYTE*>(head->lpData) + m_headFill,
                        take);
        m_headFill += static_cast<DWORD>(take);
        m_consumed += take;
        if (m_headFill == head->dwBufferLength) {
            m_queue.pop_front();
            Return(head, m_headFill);
            m_headFill = 0;
        }
    }
}

void WaveIn::Return(WAVEHDR* header, DWORD bytes) {
    header->dwBytesRecorded = bytes;
    const DWORD flags = LoadFlags(header);
    StoreFlags(header, (flags | WHDR_DONE) & ~static_cast<DWORD>(WHDR_INQUEUE));
}

void WaitForDueCaptures(DWORD now) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        std::vector<std::shared_ptr<WaveIn>> captures;
        {
            RunningCaptures& running = Running();
            std::lock_guard lock(running.mutex);
            for (const auto& entry : running.captures) {
                if (auto capture = entry.lock()) {
                    captures.push_back(std::move(capture));
                }
            }
        }
        bool waiting = false;
        for (const auto& capture : captures) {
            if (capture->HasDueBuffer(now)) {
                capture->Nudge();
                waiting = true;
            }
        }
        if (!waiting || std::chrono::steady_clock::now() >= giveUp) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

}  // namespace portable
