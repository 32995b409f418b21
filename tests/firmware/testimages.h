// Images for the container tests, made either by CImageBuilder or word by word, so that broken
// headers can be written that no builder would produce.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "platform/win32api.h"

// An entry word: three tag characters and the value length.
DWORD EntryWord(std::string_view tag, BYTE length);

// Magic, H, the given big-endian words as the entries, a correct header CRC, then the payload.
std::vector<BYTE> ImageFromWords(std::initializer_list<DWORD> words,
                                 const std::vector<BYTE>& payload = {});

void PutWord(std::vector<BYTE>* image, std::size_t offset, DWORD value);

// Recomputes the header CRC for the header length stored at offset 4.
void ResealHeader(std::vector<BYTE>* image);

std::vector<BYTE> PatternPayload(std::size_t size);

// Images of the shipped shape: crc, tim, cod/lgc, uvp/sub, dpi and a 20-byte str.
std::vector<BYTE> CodeImage(std::size_t payloadSize);
std::vector<BYTE> LogicImage(std::size_t payloadSize);
