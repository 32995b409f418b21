// Case-insensitive comparison of UTF-16 strings.
#include "platform/win32api.h"

namespace {

// Only ASCII letters are folded: the strings compared are device paths, which Windows builds from
// ASCII hardware ids and GUIDs. Other characters compare by their code units.
WCHAR Folded(WCHAR c) {
    return c >= u'A' && c <= u'Z' ? static_cast<WCHAR>(c - u'A' + u'a') : c;
}

}  // namespace

int lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2) {
    // A null string sorts before every other, as lstrcmpi has it.
    if (lpString1 == nullptr || lpString2 == nullptr) {
        return lpString1 == lpString2 ? 0 : lpString1 == nullptr ? -1 : 1;
    }
    for (;; ++lpString1, ++lpString2) {
        const WCHAR a = Folded(*lpString1);
        const WCHAR b = Folded(*lpString2);
        if (a != b) {
            return a < b ? -1 : 1;
        }
        if (a == 0) {
            return 0;
        }
    }
}
