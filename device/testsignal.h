// The mixer's USB audio test signal, which the mixer plays and the port test expects: a 16-bit
// Galois shift register with feedback mask 0xB400, one step per frame, the same value on both
// channels. From any non-zero value it runs through all 65,535 non-zero values; 0 never changes and
// is never a sample.
#pragma once

#include "platform/win32api.h"

const WORD TEST_SIGNAL_FEEDBACK = 0xB400;

// The format of the mixer's audio function, in which the signal comes: 48 kHz, 16-bit stereo.
const DWORD TEST_SIGNAL_RATE = 48000;
const WORD TEST_SIGNAL_CHANNELS = 2;
const WORD TEST_SIGNAL_FRAME_BYTES = 4;  // two 16-bit little-endian samples, left first

inline WORD NextTestSample(WORD state) {
    const WORD next = static_cast<WORD>(state >> 1);
    return (state & 1) != 0 ? static_cast<WORD>(next ^ TEST_SIGNAL_FEEDBACK) : next;
}
