// One open wave capture device, as a handle from waveInOpen reaches it: the queue of buffers, the
// header flags as Windows keeps them, and the audio thread that fills the queued buffers from the
// backend's stream while the capture runs. Internal to the stand-ins.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "platform/portable/devicebackend.h"
#include "platform/win32api.h"

namespace portable {

class WaveIn : public std::enable_shared_from_this<WaveIn> {
public:
    explicit WaveIn(std::shared_ptr<WaveCapture> capture);
    ~WaveIn();
    WaveIn(const WaveIn&) = delete;
    WaveIn& operator=(const WaveIn&) = delete;

    // The header calls; the header has been checked for null and size.
    MMRESULT Prepare(WAVEHDR* header);
    MMRESULT Unprepare(WAVEHDR* header);
    MMRESULT Add(WAVEHDR* header);
    MMRESULT Start();
    MMRESULT Stop();
    MMRESULT Reset();
    // Refuses with WAVERR_STILLPLAYING while buffers are queued; otherwise the device is done with.
    MMRESULT Close();

    // True while the buffer at the head of the queue would be full by `now` but has not been
    // returned yet.
    bool HasDueBuffer(DWORD now);
    // Makes the audio thread look at the clock at once.
    void Nudge();

private:
    void RunAudio();
    // Ends the audio thread, if it runs; the caller holds m_control and not m_mutex.
    void EndAudioThread();
    // Moves what has arrived by `now` into the queue, returning each buffer that is full. The
    // caller holds m_mutex.
    void Deliver(DWORD now);
    void Return(WAVEHDR* header, DWORD bytes);

    const std::shared_ptr<WaveCapture> m_capture;
    // Serialises the application's calls, so that only one of them ever joins the audio thread.
    std::mutex m_control;
    // What the application's calls and the audio thread share.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<WAVEHDR*> m_queue;
    std::set<const WAVEHDR*> m_prepared;  // under m_control
    DWORD m_headFill = 0;                 // bytes already in the buffer at the head of the queue
    bool m_running = false;
    bool m_endAudio = false;
    DWORD m_startedAt = 0;
    std::uint64_t m_consumed = 0;  // bytes of the run that went into buffers or were lost
    std::thread m_audio;
};

// For tests: how many headers the closes of the process found still prepared.
std::size_t HeadersLeftPreparedAtClose();

}  // namespace portable
