// What an image's header says, as people read it: the report fwimage info prints, which RELEASE.md
// quotes and the programs show for the images they carry, and the update's verdict on the image.
// One text for all of them, so that a release's notes and a program's own answer cannot disagree.
#pragma once

#include <string>

#include "firmware/imageacceptance.h"
#include "platform/win32api.h"

// The size-byte image's size, header length, entries in stored order (a tim entry with its date),
// header CRC and payload CRC, stored and computed, a line each ending in '\n'; where the header is
// invalid the report names why and ends. Returns whether the header is valid.
bool WriteImageReport(const BYTE* image, DWORD size, std::string* report);

// "accepted", or "rejected at step N: WHY" naming the step of the update's acceptance check that
// refuses the image; an invalid header also names its fault. `image` is the working buffer, as the
// update checks it.
std::string AcceptanceVerdict(const BYTE* image, DWORD size, ImageKind kind, bool requireSub,
                              AcceptanceStep* step);
