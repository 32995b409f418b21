// The multimedia wave services over the current DeviceBackend: the device counts, the drivers'
// answers to the device-interface queries, and capture handles.
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/portable/devicebackend.h"
#include "platform/portable/unsupported.h"
#include "platform/portable/wavein.h"
#include "platform/win32api.h"

namespace {

struct WaveHandles {
    std::mutex mutex;
    std::map<HWAVEIN, std::shared_ptr<portable::WaveIn>> open;
    // Never reused, and far above any device id, so that neither is taken for the other.
    ULONG_PTR next = 0x57A0000;
};

WaveHandles& Handles() {
    static WaveHandles handles;
    return handles;
}

std::shared_ptr<portable::WaveIn> Find(HWAVEIN handle) {
    WaveHandles& handles = Handles();
    std::lock_guard lock(handles.mutex);
    const auto found = handles.open.find(handle);
    return found == handles.open.end() ? nullptr : found->second;
}

std::vector<portable::WaveDeviceEntry> Devices(portable::WaveDirection direction) {
    portable::DeviceBackend* backend = portable::CurrentDeviceBackend();
    return backend == nullptr ? std::vector<portable::WaveDeviceEntry>()
                              : backend->WaveDevices(direction);
}

// The driver's answer to the two interface queries, for the device whose id stands in for the
// handle.
MMRESULT QueryInterface(portable::WaveDirection direction, UINT_PTR id, UINT message, DWORD_PTR dw1,
                        DWORD_PTR dw2) {
    if (message != DRV_QUERYDEVICEINTERFACESIZE && message != DRV_QUERYDEVICEINTERFACE) {
        portable::Unsupported("a wave driver message other than the device-interface queries");
    }
    const std::vector<portable::WaveDeviceEntry> devices = Devices(direction);
    if (id >= devices.size()) {
        return MMSYSERR_BADDEVICEID;
    }
    const std::optional<std::u16string>& name = devices[id].interfaceName;
    if (!name) {
        return MMSYSERR_NOTSUPPORTED;
    }
    const std::size_t bytes = (name->size() + 1) * sizeof(WCHAR);
    if (message == DRV_QUERYDEVICEINTERFACESIZE) {
        if (dw1 == 0) {
            return MMSYSERR_INVALPARAM;
        }
        *reinterpret_cast<ULONG*>(dw1) = static_cast<ULONG>(bytes);
        return MMSYSERR_NOERROR;
    }
    if (dw1 == 0 || dw2 < bytes) {
        return MMSYSERR_INVALPARAM;
    }
    auto* buffer = reinterpret_cast<WCHAR*>(dw1);
    std::copy(name->begin(), name->end(), buffer);
    buffer[name->size()] = 0;
    return MMSYSERR_NOERROR;
}

// The fields of a PCM format must describe the same stream.
bool FormatAgrees(const WAVEFORMATEX& format) {
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels == 0 ||
        format.nSamplesPerSec == 0) {
        return false;
    }
    const WORD bits = format.wBitsPerSample;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    const std::uint64_t blockAlign = std::uint64_t{format.nChannels} * bits / 8;
    return format.nBlockAlign == blockAlign &&
           format.nAvgBytesPerSec == std::uint64_t{format.nSamplesPerSec} * blockAlign;
}

// The handle's device for a header call, or the result that refuses the call.
MMRESULT ForHeader(HWAVEIN handle, const WAVEHDR* header, UINT size,
                   std::shared_ptr<portable::WaveIn>* wave) {
    *wave = Find(handle);
    if (*wave == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (header == nullptr || size < sizeof(WAVEHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    return MMSYSERR_NOERROR;
}

}  // namespace

UINT waveInGetNumDevs() {
    return static_cast<UINT>(Devices(portable::WaveDirection::Capture).size());
}

UINT waveOutGetNumDevs() {
    return static_cast<UINT>(Devices(portable::WaveDirection::Playback).size());
}

MMRESULT waveInMessage(HWAVEIN hwi, UINT uMsg, DWORD_PTR dw1, DWORD_PTR dw2) {
    return QueryInterface(portable::WaveDirection::Capture, reinterpret_cast<UINT_PTR>(hwi), uMsg,
                          dw1, dw2);
}

MMRESULT waveOutMessage(HWAVEOUT hwo, UINT uMsg, DWORD_PTR dw1, DWORD_PTR dw2) {
    return QueryInterface(portable::WaveDirection::Playback, reinterpret_cast<UINT_PTR>(hwo), uMsg,
                          dw1, dw2);
}

MMRESULT waveInOpen(LPHWAVEIN phwi, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR dwCallback,
                    DWORD_PTR dwInstance, DWORD fdwOpen) {
    if (fdwOpen != CALLBACK_NULL || dwCallback != 0 || dwInstance != 0) {
        portable::Unsupported("waveInOpen with a callback, an instance or flags");
    }
    if (phwi == nullptr || pwfx == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *phwi = nullptr;
    if (uDeviceID >= waveInGetNumDevs()) {
        return MMSYSERR_BADDEVICEID;
    }
    if (!FormatAgrees(*pwfx)) {
        return WAVERR_BADFORMAT;
    }
    portable::DeviceBackend* backend = portable::CurrentDeviceBackend();
    if (backend == nullptr) {
        return MMSYSERR_BADDEVICEID;  // the backend went away since the count
    }
    const portable::PcmFormat format{pwfx->nChannels, pwfx->nSamplesPerSec, pwfx->wBitsPerSample};
    std::shared_ptr<portable::WaveCapture> capture;
    const UINT refused = backend->OpenWaveCapture(uDeviceID, format, &capture);
    if (refused != MMSYSERR_NOERROR) {
        return refused;
    }
    if (capture == nullptr) {
        return MMSYSERR_ERROR;
    }
    auto wave = std::make_shared<portable::WaveIn>(std::move(capture));
    WaveHandles& handles = Handles();
    std::lock_guard lock(handles.mutex);
    HWAVEIN handle = reinterpret_cast<HWAVEIN>(handles.next);
    handles.next += 4;
    handles.open.emplace(handle, std::move(wave));
    *phwi = handle;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWAVEIN hwi, LPWAVEHDR pwh, UINT cbwh) {
    std::shared_ptr<portable::WaveIn> wave;
    const MMRESULT refused = ForHeader(hwi, pwh, cbwh, &wave);
    return refused != MMSYSERR_NOERROR ? refused : wave->Prepare(pwh);
}

MMRESULT waveInUnprepareHeader(HWAVEIN hwi, LPWAVEHDR pwh, UINT cbwh) {
    std::shared_ptr<portable::WaveIn> wave;
    const MMRESULT refused = ForHeader(hwi, pwh, cbwh, &wave);
    return refused != MMSYSERR_NOERROR ? refused : wave->Unprepare(pwh);
}

MMRESULT waveInAddBuffer(HWAVEIN hwi, LPWAVEHDR pwh, UINT cbwh) {
    std::shared_ptr<portable::WaveIn> wave;
    const MMRESULT refused = ForHeader(hwi, pwh, cbwh, &wave);
    return refused != MMSYSERR_NOERROR ? refused : wave->Add(pwh);
}

MMRESULT waveInStart(HWAVEIN hwi) {
    const std::shared_ptr<portable::WaveIn> wave = Find(hwi);
    return wave == nullptr ? MMSYSERR_INVALHANDLE : wave->Start();
}

MMRESULT waveInStop(HWAVEIN hwi) {
    const std::shared_ptr<portable::WaveIn> wave = Find(hwi);
    return wave == nullptr ? MMSYSERR_INVALHANDLE : wave->Stop();
}

MMRESULT waveInReset(HWAVEIN hwi) {
    const std::shared_ptr<portable::WaveIn> wave = Find(hwi);
    return wave == nullptr ? MMSYSERR_INVALHANDLE : wave->Reset();
}

MMRESULT waveInClose(HWAVEIN hwi) {
    WaveHandles& handles = Handles();
    // Held throughout, so that two closes of one handle cannot both succeed.
    std::lock_guard lock(handles.mutex);
    const auto found = handles.open.find(hwi);
    if (found == handles.open.end()) {
        return MMSYSERR_INVALHANDLE;
    }
    const MMRESULT refused = found->second->Close();
    if (refused == MMSYSERR_NOERROR) {
        handles.open.erase(found);
    }
    return refused;
}
