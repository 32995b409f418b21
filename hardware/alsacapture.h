// A capture stream of a sound card through alsa-lib, as the multimedia system's view of an open
// wave-in device: the PCM opened in the wizard's format, the samples read on a thread of the
// stream's own from each start to the next stop, and handed out as they arrive.
#pragma once

#include <memory>
#include <string>

#include "platform/portable/devicebackend.h"

namespace hardware {

// Opens `pcmName` (for example "hw:CARD=Vantor,DEV=0") for capture in `format`; returns 0 and the
// stream, or the multimedia result: MMSYSERR_BADDEVICEID for a device that is not there,
// MMSYSERR_ALLOCATED for one in use, WAVERR_BADFORMAT for a format it cannot record.
UINT OpenAlsaCapture(const std::string& pcmName, const portable::PcmFormat& format,
                     std::shared_ptr<portable::WaveCapture>* capture);

}  // namespace hardware
