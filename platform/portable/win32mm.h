// Windows multimedia wave capture for builds without Windows: the wave devices, their driver
// queries for the device interface they are built on, and the capture calls. Served by the current
// DeviceBackend; the header's dwFlags is set by the audio side on its own thread.
#pragma once

#include "platform/portable/win32devices.h"
#include "platform/portable/win32types.h"

typedef UINT MMRESULT;
typedef UINT* LPUINT;
struct HWAVEIN__;
typedef HWAVEIN__* HWAVEIN;
typedef HWAVEIN* LPHWAVEIN;
struct HWAVEOUT__;
typedef HWAVEOUT__* HWAVEOUT;

#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_NOTENABLED 3
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define WAVERR_BADFORMAT 32
#define WAVERR_STILLPLAYING 33
#define WAVERR_UNPREPARED 34
#define WAVERR_SYNC 35

#define WAVE_FORMAT_PCM 1
#define CALLBACK_NULL 0x00000000L

// Driver messages that ask a wave device for the device interface it is built on: its size in
// bytes, NUL included, then the UTF-16 name itself.
#define DRV_RESERVED 0x0800
#define DRV_QUERYDEVICEINTERFACE (DRV_RESERVED + 12)
#define DRV_QUERYDEVICEINTERFACESIZE (DRV_RESERVED + 13)

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
typedef WAVEFORMATEX* LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

struct WAVEHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};
typedef WAVEHDR* LPWAVEHDR;
typedef WAVEHDR* PWAVEHDR;

#define WHDR_DONE 0x00000001
#define WHDR_PREPARED 0x00000002
#define WHDR_INQUEUE 0x00000010

UINT waveInGetNumDevs();
UINT waveOutGetNumDevs();
// The device id in place of a handle, as the interface queries take it.
MMRESULT waveInMessage(HWAVEIN hwi, UINT uMsg, DWORD_PTR dw1, DWORD_PTR dw2);
MMRESULT waveOutMessage(HWAVEOUT hwo, UINT uMsg, DWORD_PTR dw1, DWORD_PTR dw2);

// Supported: no callback (CALLBACK_NULL), instance 0.
MMRESULT waveInOpen(LPHWAVEIN phwi, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR dwCallback,
                    DWORD_PTR dwInstance, DWORD fdwOpen);
MMRESULT waveInPrepareHeader(HWAVEIN hwi, LPWAVEHDR pwh, UINT cbwh);
MMRESULT waveInAddBuffer(HWAVEIN hwi, LPWAVEHDR pwh, UINT cbwh);
MMRESULT waveInStart(HWAVEIN hwi);
MMRESULT waveInStop(HWAVEIN hwi);
MMRESULT waveInReset(HWAVEIN hwi);
MMRESULT waveInUnprepareHeader(HWAVEIN hwi, LPWAVEHDR pwh, UINT cbwh);
MMRESULT waveInClose(HWAVEIN hwi);

// Case-insensitive comparison of UTF-16 strings, as the user's locale orders them. Off Windows only
// ASCII letters fold: the strings this system compares are device paths.
int lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2);
