// The transcript of a simulated system: one line per bus event and transfer, kept for the tests,
// written to a stream for the command line, or both. A line about the second mixer ends in
// " (mixer 2)", so the first mixer's lines read the same with or without a second one.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "platform/win32api.h"

namespace sim {

class Transcript {
public:
    Transcript(bool keep, std::ostream* stream);

    // Whether anybody reads the transcript: when nobody does, callers need not build their lines.
    bool Logging() const;
    void Log(std::size_t unit, const std::string& line);
    // "set F0 EFWU", "get F0 00000004", "get F0 failed 1167": the direction, the report id, what
    // was said when there is something, and the error when the transfer failed.
    void LogTransfer(std::size_t unit, bool set, BYTE reportId, const std::string& what,
                     DWORD error);

    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    bool m_keep;
    std::ostream* m_stream;
    std::vector<std::string> m_lines;
};

}  // namespace sim
