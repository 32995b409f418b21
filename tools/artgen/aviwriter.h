// Silent, uncompressed 8-bit AVI clips of the kind the animation control plays.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/artgen/canvas.h"

namespace artgen {

struct AviClip {
    std::vector<Canvas> frames;  // all of one size
    std::uint32_t microSecondsPerFrame = 100000;
    // Uncovered pixels become `key`, palette entry 0, and no other entry has its colour: a
    // transparent animation control takes the top-left pixel of the first frame as background
    // and replaces every pixel of that colour. Partly covered pixels are laid over `matte`,
    // the colour the control is expected to stand on.
    Rgb8 key{255, 0, 255};
    Rgb8 matte{240, 240, 240};
};

// RIFF 'AVI ': LIST 'hdrl' (avih, one LIST 'strl' with a 'vids' strh, handler 'DIB ', and a strf
// holding the BITMAPINFOHEADER and a 256-entry palette shared by all frames), LIST 'movi' with
// one '00db' chunk per frame, and an idx1 marking every frame a key frame.
std::vector<std::uint8_t> EncodeAvi(const AviClip& clip);

}  // namespace artgen
