#include "platform/portable/unsupported.h"

#include <cstdio>
#include <cstdlib>

namespace portable {

void Unsupported(const char* what) {
    std::fprintf(stderr, "unsupported Win32 use: %s\n", what != nullptr ? what : "(unnamed)");
    std::fflush(stderr);
    std::abort();
}

}  // namespace portable
