// The USB audio port test, on the USB test page's worker thread: the mixer's test signal switched
// on, one second captured from the mixer's own capture device, the last 4,096 frames checked
// against the signal, the signal switched off, the outcome stored.
#include <cstring>
#include <memory>

#include "device/findwavedevice.h"
#include "device/testsignal.h"
#include "device/vantorhid.h"
#include "diagnostics/runlog.h"
#include "stages/porttestopening.h"
#include "stages/porttests.h"

namespace {

const DWORD CAPTURE_BYTES = TEST_SIGNAL_RATE * TEST_SIGNAL_FRAME_BYTES;  // one second
const DWORD CHECK_FRAMES = 4096;                                         // the last 85.3 ms
const DWORD FIRST_CHECKED_FRAME = CAPTURE_BYTES / TEST_SIGNAL_FRAME_BYTES - CHECK_FRAMES;

const DWORD SIGNAL_START_MS = 500;    // the mixer's signal is on this long after "UATE"
const DWORD CAPTURE_LIMIT_MS = 1500;  // for a buffer of 1,000 ms
const DWORD FILL_POLL_MS = 10;
const DWORD RESET_SETTLE_MS = 250;

// One buffer for the program's whole run: only one USB test runs at a time.
BYTE g_captureBuffer[CAPTURE_BYTES];

DWORD TranslateAudioResult(MMRESULT result) {
    switch (result) {
        case MMSYSERR_BADDEVICEID:
            return ERROR_BAD_UNIT;
        case MMSYSERR_ALLOCATED:
            return ERROR_BUSY;
        case MMSYSERR_INVALHANDLE:
            return ERROR_INVALID_HANDLE;
        case MMSYSERR_NODRIVER:
            return ERROR_BAD_DRIVER;
        case MMSYSERR_NOMEM:
            return ERROR_OUTOFMEMORY;
        case WAVERR_BADFORMAT:
            return ERROR_NOT_SUPPORTED;
        case WAVERR_SYNC:
            return ERROR_INVALID_USER_BUFFER;
        default:
            return ERROR_GEN_FAILURE;
    }
}

// The audio side sets the flags on its own thread; read them as one atomic value.
DWORD HeaderFlags(WAVEHDR& header) {
    return static_cast<DWORD>(
        InterlockedCompareExchange(reinterpret_cast<LONG volatile*>(&header.dwFlags), 0, 0));
}

WORD SampleAt(DWORD frame, DWORD channel) {
    WORD sample;
    std::memcpy(&sample, g_captureBuffer + frame * TEST_SIGNAL_FRAME_BYTES + channel * sizeof(WORD),
                sizeof sample);
    return sample;
}

// Both channels of the check window follow the test signal from a non-zero start.
bool CaptureCarriesTheSignal() {
    WORD expected = SampleAt(FIRST_CHECKED_FRAME, 0);
    if (expected == 0 || SampleAt(FIRST_CHECKED_FRAME, 1) != expected) {
        return false;
    }
    for (DWORD frame = FIRST_CHECKED_FRAME + 1; frame < FIRST_CHECKED_FRAME + CHECK_FRAMES;
         ++frame) {
        expected = NextTestSample(expected);
        if (SampleAt(frame, 0) != expected || SampleAt(frame, 1) != expected) {
            return false;
        }
    }
    return true;
}

class CUsbTestRun {
public:
    explicit CUsbTestRun(CWorkerSite& site) : m_site(site) {}
    void Run();

private:
    // Keeps the first error of the run.
    void Fail(DWORD error) {
        if (m_error == 0) {
            m_error = error != 0 ? error : ERROR_GEN_FAILURE;
            runlog::Write("failure " + runlog::ErrorText(m_error));
        }
    }
    // The capture and its check; false with the run's error set when it did not pass.
    bool CaptureAndCheck(CVantorHid& mixer);

    CWorkerSite& m_site;
    DWORD m_error = 0;
};

void CUsbTestRun::Run() {
    std::unique_ptr<CVantorHid> mixer;
    const PortTestOpening opening = OpenPortTest(m_site, &mixer);
    if (opening == PortTestOpening::Skipped) {
        return;
    }
    bool passed = false;
    if (opening == PortTestOpening::NoMixer) {
        Fail(ERROR_BAD_UNIT);
    } else {
        if (!mixer->SendCommand("UATE")) {
            Fail(GetLastError());
        } else {
            Sleep(SIGNAL_START_MS);
            m_site.Progress(20);
            passed = CaptureAndCheck(*mixer);
        }
        // The test mode goes off on every path with a mixer.
        const BOOL stopped = mixer->SendCommand("UATD");
        if (!stopped && passed) {
            passed = false;
            Fail(GetLastError());
        }
        m_site.Progress(100);
    }

    // Closed before the outcome: after Done the worker touches nothing of the program's.
    mixer.reset();
    if (passed && m_error == 0) {
        m_site.StoreSuccess();
    } else {
        m_site.StoreFailure(m_error);
    }
    m_site.Done();
}

bool CUsbTestRun::CaptureAndCheck(CVantorHid& mixer) {
    const int device = FindWaveDevice(mixer, FALSE);
    if (device < 0) {
        Fail(GetLastError());
        runlog::Write("capture device of the mixer not found");
        return false;
    }
    runlog::Write("capture device " + std::to_string(device));
    WAVEFORMATEX format;
    std::memset(&format, 0, sizeof format);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = TEST_SIGNAL_CHANNELS;
    format.nSamplesPerSec = TEST_SIGNAL_RATE;
    format.nAvgBytesPerSec = TEST_SIGNAL_RATE * TEST_SIGNAL_FRAME_BYTES;
    format.nBlockAlign = TEST_SIGNAL_FRAME_BYTES;
    format.wBitsPerSample = 16;
    format.cbSize = 0;

    HWAVEIN wave = nullptr;
    MMRESULT result = waveInOpen(&wave, static_cast<UINT>(device), &format, 0, 0, CALLBACK_NULL);
    if (result != MMSYSERR_NOERROR) {
        runlog::Write("capture refused with " + std::to_string(result));
        Fail(TranslateAudioResult(result));
        return false;
    }
    std::memset(g_captureBuffer, 0, sizeof g_captureBuffer);
    WAVEHDR header;
    std::memset(&header, 0, sizeof header);
    header.lpData = reinterpret_cast<LPSTR>(g_captureBuffer);
    header.dwBufferLength = CAPTURE_BYTES;

    bool prepared = false;
    result = waveInPrepareHeader(wave, &header, sizeof header);
    if (result == MMSYSERR_NOERROR) {
        prepared = true;
        result = waveInAddBuffer(wave, &header, sizeof header);
    }
    if (result == MMSYSERR_NOERROR) {
        result = waveInStart(wave);
    }
    if (result != MMSYSERR_NOERROR) {
        waveInReset(wave);
        if (prepared) {
            waveInUnprepareHeader(wave, &header, sizeof header);
        }
        waveInClose(wave);
        runlog::Write("capture refused with " + std::to_string(result));
        Fail(TranslateAudioResult(result));
        return false;
    }

    const DWORD start = timeGetTime();
    bool done = (HeaderFlags(header) & WHDR_DONE) != 0;
    while (!done) {
        if (timeGetTime() - start >= CAPTURE_LIMIT_MS) {
            break;
        }
        Sleep(FILL_POLL_MS);
        DWORD filled = ((timeGetTime() - start) * 75) / CAPTURE_LIMIT_MS;
        if (filled > 75) {
            filled = 75;
        }
        m_site.Progress(static_cast<LONG>(filled + 20));
        done = (HeaderFlags(header) & WHDR_DONE) != 0;
    }
    waveInStop(wave);
    if (!done) {
        waveInReset(wave);
        Sleep(RESET_SETTLE_MS);
    }
    waveInUnprepareHeader(wave, &header, sizeof header);
    waveInClose(wave);
    m_site.Progress(100);

    if (!done) {
        runlog::Write("capture not filled after " + std::to_string(timeGetTime() - start) + "ms");
        Fail(WAIT_TIMEOUT);
        return false;
    }
    runlog::Write("capture filled took=" + std::to_string(timeGetTime() - start) + "ms");
    if (!CaptureCarriesTheSignal()) {
        runlog::Write("capture does not carry the test signal");
        Fail(ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

}  // namespace

void RunUsbTest(CWorkerSite& site) {
    CUsbTestRun(site).Run();
}
