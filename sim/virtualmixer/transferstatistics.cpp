#include "sim/virtualmixer/transferstatistics.h"

#include <cstdio>

namespace sim {

namespace {

double Microseconds(std::chrono::steady_clock::duration total, unsigned long long count) {
    return count == 0 ? 0.0
                      : std::chrono::duration<double, std::micro>(total).count() /
                            static_cast<double>(count);
}

}  // namespace

void TransferStatistics::Record(Clock::time_point start, Clock::time_point end) {
    if (m_transfers == 0) {
        m_first = start;
    } else if (end - m_lastEnd <= kBackToBack) {
        ++m_backToBack;
        m_roundTrips += end - m_lastEnd;
    }
    ++m_transfers;
    m_server += end - start;
    m_lastEnd = end;
}

double TransferStatistics::ServerMicroseconds() const {
    return Microseconds(m_server, m_transfers);
}

double TransferStatistics::RoundTripMicroseconds() const {
    return Microseconds(m_roundTrips, m_backToBack);
}

double TransferStatistics::SpanSeconds() const {
    return m_transfers == 0 ? 0.0 : std::chrono::duration<double>(m_lastEnd - m_first).count();
}

std::string TransferStatistics::Report() const {
    char text[256];
    std::snprintf(text, sizeof text,
                  "transfers: %llu in %.1f s\nserver time per transfer: %.1f us\n"
                  "round trip per transfer: %.1f us (%llu back to back)\n",
                  m_transfers, SpanSeconds(), ServerMicroseconds(), RoundTripMicroseconds(),
                  m_backToBack);
    return text;
}

}  // namespace sim
