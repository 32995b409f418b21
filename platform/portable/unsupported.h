// A stand-in implements only what the system uses. Anything else it is asked ends the process with
// a message, so that a test meets it at once instead of a silent wrong answer.
#pragma once

namespace portable {

[[noreturn]] void Unsupported(const char* what);

}  // namespace portable
