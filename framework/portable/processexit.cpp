#include "framework/portable/processexit.h"

#include <cstdint>
#include <cstdio>

namespace portable {

std::string JoinCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        // Quoted as a Windows caller quotes it, so that a path with spaces stays one word.
        const std::string word = argv[i];
        const bool blank = word.find_first_of(" \t") != std::string::npos;
        line += blank && word.find('"') == std::string::npos ? '"' + word + '"' : word;
    }
    return line;
}

int PosixExitStatus(int exitCode) {
    const auto code = static_cast<std::uint32_t>(exitCode);
    return code <= 255 ? static_cast<int>(code) : 255;
}

std::string ExitCodeLine(int exitCode) {
    const auto code = static_cast<std::uint32_t>(exitCode);
    char line[64];
    std::snprintf(line, sizeof line, "exit code: %u (0x%08X)", static_cast<unsigned>(code),
                  static_cast<unsigned>(code));
    return line;
}

}  // namespace portable
