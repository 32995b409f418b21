// The multimedia services the program uses, from the system's own winmm.dll (systemfunction.h says
// why they are not imported). Without it each fails as documented: MMSYSERR_NODRIVER, which every
// one of them lists, or no devices, with the reason as last error.
#include "platform/win32/systemfunction.h"
#include "platform/win32api.h"

using win32::SystemDll;
using win32::SystemFunction;

extern "C" {

DWORD WINAPI timeGetTime() {
    static const SystemFunction function(SystemDll::Winmm, "timeGetTime");
    const auto getTime = function.Get<decltype(&timeGetTime)>();
    // It has no way to fail. The tick count is the same clock, milliseconds since Windows started,
    // only coarser.
    return getTime != nullptr ? getTime() : GetTickCount();
}

UINT WINAPI waveInGetNumDevs() {
    static const SystemFunction function(SystemDll::Winmm, "waveInGetNumDevs");
    return function.Call<decltype(&waveInGetNumDevs)>(0);
}

UINT WINAPI waveOutGetNumDevs() {
    static const SystemFunction function(SystemDll::Winmm, "waveOutGetNumDevs");
    return function.Call<decltype(&waveOutGetNumDevs)>(0);
}

MMRESULT WINAPI waveInMessage(HWAVEIN waveIn, UINT message, DWORD_PTR parameter1,
                              DWORD_PTR parameter2) {
    static const SystemFunction function(SystemDll::Winmm, "waveInMessage");
    return function.Call<decltype(&waveInMessage)>(MMSYSERR_NODRIVER, waveIn, message, parameter1,
                                                   parameter2);
}

MMRESULT WINAPI waveOutMessage(HWAVEOUT waveOut, UINT message, DWORD_PTR parameter1,
                               DWORD_PTR parameter2) {
    static const SystemFunction function(SystemDll::Winmm, "waveOutMessage");
    return function.Call<decltype(&waveOutMessage)>(MMSYSERR_NODRIVER, waveOut, message, parameter1,
                                                    parameter2);
}

MMRESULT WINAPI waveInOpen(LPHWAVEIN waveIn, UINT deviceId, LPCWAVEFORMATEX format,
                           DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
    static const SystemFunction function(SystemDll::Winmm, "waveInOpen");
    return function.Call<decltype(&waveInOpen)>(MMSYSERR_NODRIVER, waveIn, deviceId, format,
                                                callback, instance, flags);
}

MMRESULT WINAPI waveInClose(HWAVEIN waveIn) {
    static const SystemFunction function(SystemDll::Winmm, "waveInClose");
    return function.Call<decltype(&waveInClose)>(MMSYSERR_NODRIVER, waveIn);
}

MMRESULT WINAPI waveInPrepareHeader(HWAVEIN waveIn, LPWAVEHDR header, UINT headerSize) {
    static const SystemFunction function(SystemDll::Winmm, "waveInPrepareHeader");
    return function.Call<decltype(&waveInPrepareHeader)>(MMSYSERR_NODRIVER, waveIn, header,
                                                         headerSize);
}

MMRESULT WINAPI waveInUnprepareHeader(HWAVEIN waveIn, LPWAVEHDR header, UINT headerSize) {
    static const SystemFunction function(SystemDll::Winmm, "waveInUnprepareHeader");
    return function.Call<decltype(&waveInUnprepareHeader)>(MMSYSERR_NODRIVER, waveIn, header,
                                                           headerSize);
}

MMRESULT WINAPI waveInAddBuffer(HWAVEIN waveIn, LPWAVEHDR header, UINT headerSize) {
    static const SystemFunction function(SystemDll::Winmm, "waveInAddBuffer");
    return function.Call<decltype(&waveInAddBuffer)>(MMSYSERR_NODRIVER, waveIn, header, headerSize);
}

MMRESULT WINAPI waveInStart(HWAVEIN waveIn) {
    static const SystemFunction function(SystemDll::Winmm, "waveInStart");
    return function.Call<decltype(&waveInStart)>(MMSYSERR_NODRIVER, waveIn);
}

MMRESULT WINAPI waveInStop(HWAVEIN waveIn) {
    static const SystemFunction function(SystemDll::Winmm, "waveInStop");
    return function.Call<decltype(&waveInStop)>(MMSYSERR_NODRIVER, waveIn);
}

MMRESULT WINAPI waveInReset(HWAVEIN waveIn) {
    static const SystemFunction function(SystemDll::Winmm, "waveInReset");
    return function.Call<decltype(&waveInReset)>(MMSYSERR_NODRIVER, waveIn);
}

}  // extern "C"
