// The executable's resources in builds without Windows. The resources library registers them while
// the program starts; tests may register sets of their own, which replace the earlier set.
#pragma once

#include <cstddef>

#include "platform/portable/win32types.h"

namespace portable {

struct RawResource {
    WORD type;  // RT_RCDATA's number, 10, and so on
    WORD id;
    const void* data;
    DWORD size;
};

struct StringResource {
    UINT id;
    const char* text;  // ANSI
};

// Strings are stored as the RT_STRING blocks that a resource compiler makes of them.
void RegisterModuleResources(const RawResource* raw, std::size_t rawCount,
                             const StringResource* strings, std::size_t stringCount);

// Replaces one raw resource of the current set, or removes it when data is null; the caller keeps
// the data alive. Used to run the program with other firmware images.
void ReplaceRawResource(WORD type, WORD id, const void* data, DWORD size);

// The handle that GetModuleHandleA(NULL) gives.
HMODULE ExecutableModule();

}  // namespace portable
