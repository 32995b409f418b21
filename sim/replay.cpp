#include "sim/replay.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

#include "sim/simconfig.h"

namespace sim {

namespace {

// What was asked has no result yet: its description stops before the arrow.
std::string DescribeAsked(const runlog::TransferRecord& asked) {
    const std::string text = runlog::DescribeTransfer(asked);
    return text.substr(0, text.rfind(" -> "));
}

// Two sets that read alike differ in their data, or in their length.
std::string FirstDifferentByte(const std::vector<std::uint8_t>& recorded,
                               const std::vector<std::uint8_t>& asked) {
    for (std::size_t i = 0; i < recorded.size() && i < asked.size(); ++i) {
        if (recorded[i] != asked[i]) {
            return "; byte " + std::to_string(i) + ": recorded " + runlog::Hex(recorded[i], 2) +
                   ", asked " + runlog::Hex(asked[i], 2);
        }
    }
    return "; recorded " + std::to_string(recorded.size()) + " bytes, asked " +
           std::to_string(asked.size());
}

std::optional<MixerStart> StartUnder(WORD productId) {
    switch (productId) {
        case PRODUCT_ID_RUN:
            return MixerStart::Application;
        case PRODUCT_ID_UPDATE:
            return MixerStart::Update;
        case PRODUCT_ID_UPDATE_ALT:
            return MixerStart::UpdateAlt;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool ReadRecording(std::istream& log, const std::string& name, Recording* recording,
                   std::string* error) {
    Recording read;
    std::size_t number = 0;
    for (std::string line; std::getline(log, line);) {
        ++number;
        // A log that went through a Windows editor or mail program ends its lines in CR LF.
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        const std::string where = name + ", line " + std::to_string(number) + ": ";
        std::uint32_t ms = 0;
        std::string event;
        if (!runlog::SplitLine(line, &ms, &event)) {
            *error = where + "not a line of a run log (milliseconds, then the event)";
            return false;
        }
        if (event.rfind("transfer ", 0) == 0) {
            read.transfers.emplace_back();
            if (!runlog::ParseTransfer(event, &read.transfers.back())) {
                *error = where + "not a whole transfer";
                return false;
            }
        } else if (event.rfind("found ", 0) == 0) {
            read.found.emplace_back();
            read.foundAfter.push_back(read.transfers.size());
            if (!runlog::ParseFound(event, &read.found.back())) {
                *error = where + "not a whole mixer found";
                return false;
            }
        }
    }
    if (log.bad()) {
        *error = "cannot read the log " + name;
        return false;
    }
    if (read.transfers.empty()) {
        *error = name + " holds no transfers: record it with --log-transfers";
        return false;
    }
    *recording = std::move(read);
    return true;
}

bool ReadRecording(const std::string& path, Recording* recording, std::string* error) {
    std::ifstream log(path);
    if (!log) {
        *error = "cannot read the log " + path + ": " + std::strerror(errno);
        return false;
    }
    return ReadRecording(log, path, recording, error);
}

void ConfigureReplay(std::shared_ptr<const Recording> recording, SimConfig* config) {
    config->start = MixerStart::Absent;
    for (const runlog::MixerIdentity& mixer : recording->found) {
        if (const std::optional<MixerStart> start = StartUnder(mixer.productId)) {
            config->start = *start;
            break;
        }
    }
    for (const runlog::MixerIdentity& mixer : recording->found) {
        if (mixer.productId == PRODUCT_ID_UPDATE || mixer.productId == PRODUCT_ID_UPDATE_ALT) {
            config->updateProductId = mixer.productId;
            break;
        }
    }
    // The simulated protocol's own busy phases would only disagree with the recorded status reads;
    // the restarts keep their time, as the program's waits for the mixer depend on it.
    config->timing.codeEraseMs = 0;
    config->timing.logicEraseMs = 0;
    config->timing.passEndMs = 0;
    config->timing.logicBackupMs = 0;
    config->replay = std::move(recording);
}

Replay::Replay(std::shared_ptr<const Recording> recording) : m_recording(std::move(recording)) {}

const runlog::TransferRecord* Replay::Next(bool set, const BYTE* report, std::size_t length) {
    if (!m_difference.empty()) {
        return nullptr;
    }
    const std::size_t number = ++m_next;
    runlog::TransferRecord asked;
    asked.set = set;
    asked.reportId = report[0];
    if (set) {
        asked.bytes.assign(report, report + length);
    }
    const std::string prefix = "replay: transfer " + std::to_string(number) + " differs: ";
    if (number > m_recording->transfers.size()) {
        m_difference = prefix + "the recording ends after " +
                       std::to_string(m_recording->transfers.size()) + " transfers, asked " +
                       DescribeAsked(asked);
        return nullptr;
    }
    const runlog::TransferRecord& recorded = m_recording->transfers[number - 1];
    const bool sameKind = recorded.set == set && recorded.reportId == asked.reportId;
    const bool sameLength = set || recorded.bytes.empty() || recorded.bytes.size() == length;
    if (sameKind && sameLength && (!set || recorded.bytes == asked.bytes)) {
        return &recorded;
    }
    const std::string recordedText = runlog::DescribeTransfer(recorded);
    const std::string askedText = DescribeAsked(asked);
    m_difference = prefix + "recorded " + recordedText + ", asked " + askedText;
    // Reports that read alike (two data blocks, a command with other bytes after its code, reads
    // of two lengths) are told apart by where they differ.
    if (sameKind && !set) {
        m_difference += "; recorded " + std::to_string(recorded.bytes.size()) + " bytes, asked " +
                        std::to_string(length);
    } else if (sameKind && recordedText.substr(0, recordedText.rfind(" -> ")) == askedText) {
        m_difference += FirstDifferentByte(recorded.bytes, asked.bytes);
    }
    return nullptr;
}

std::string Replay::Unasked() const {
    const std::size_t count = m_recording->transfers.size();
    if (!m_difference.empty() || m_next >= count) {
        return std::string();
    }
    return "replay: the run ended before transfer " + std::to_string(m_next + 1) + " of " +
           std::to_string(count) + ": recorded " +
           runlog::DescribeTransfer(m_recording->transfers[m_next]);
}

bool Replay::FoundAgain() const {
    for (const std::size_t after : m_recording->foundAfter) {
        if (after >= m_next) {
            return true;
        }
    }
    return false;
}

const runlog::MixerIdentity* Replay::Found(WORD productId) const {
    for (const runlog::MixerIdentity& mixer : m_recording->found) {
        if (mixer.productId == productId) {
            return &mixer;
        }
    }
    return nullptr;
}

}  // namespace sim
