#include "sim/transcript.h"

#include <cstdio>

namespace sim {

Transcript::Transcript(bool keep, std::ostream* stream) : m_keep(keep), m_stream(stream) {}

bool Transcript::Logging() const {
    return m_keep || m_stream != nullptr;
}

void Transcript::Log(std::size_t unit, const std::string& line) {
    const std::string text = unit == 0 ? line : line + " (mixer 2)";
    if (m_keep) {
        m_lines.push_back(text);
    }
    if (m_stream != nullptr) {
        *m_stream << text << '\n';
    }
}

void Transcript::LogTransfer(std::size_t unit, bool set, BYTE reportId, const std::string& what,
                             DWORD error) {
    if (!Logging()) {
        return;
    }
    char line[16];
    std::snprintf(line, sizeof line, "%s %02X", set ? "set" : "get", reportId);
    std::string text = line;
    if (!what.empty()) {
        text += " " + what;
    }
    if (error != ERROR_SUCCESS) {
        text += " failed " + std::to_string(error);
    }
    Log(unit, text);
}

}  // namespace sim
