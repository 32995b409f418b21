// Whole-file reading and writing for fwimage; failures throw CommandError with the file's name.
#pragma once

#include <string>
#include <vector>

#include "platform/win32api.h"

// Refuses files that could not be images: not regular files, or too large for a working buffer.
std::vector<BYTE> ReadImageFile(const std::string& path);

// Writes through a temporary file beside path, so a failed write leaves an existing file as it was.
void WriteImageFile(const std::string& path, const std::vector<BYTE>& bytes);
