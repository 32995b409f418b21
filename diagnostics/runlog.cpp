#include "diagnostics/runlog.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/win32api.h"

namespace runlog {

namespace {

// Events come from the window's thread and the workers'; each line is written whole under the
// lock, and flushed, so that a log survives the program that wrote it.
struct Log {
    Log() { InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    std::FILE* file = nullptr;
    std::string path;
    DWORD startedAt = 0;
    std::string failure;
    // What the log records now (a Detail, or kOff), read without the lock: every transfer asks,
    // and a log that is off must cost it no more than this read. Changed only under the lock.
    static constexpr int kOff = -1;
    std::atomic<int> recording{kOff};
};

Log& TheLog() {
    static Log log;
    return log;
}

}  // namespace

bool Start(const std::string& path, Detail detail, std::string* error) {
    Log& log = TheLog();
    Stop();
    EnterCriticalSection(&log.lock);
    log.failure.clear();
    LeaveCriticalSection(&log.lock);
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    EnterCriticalSection(&log.lock);
    log.file = file;
    log.path = path;
    log.startedAt = timeGetTime();
    log.recording = static_cast<int>(detail);
    LeaveCriticalSection(&log.lock);
    return true;
}

void Stop() {
    Log& log = TheLog();
    EnterCriticalSection(&log.lock);
    if (log.file != nullptr) {
        if (std::fclose(log.file) != 0 && log.failure.empty()) {
            log.failure = log.path + ": " + std::strerror(errno);
        }
        log.file = nullptr;
    }
    log.recording = Log::kOff;
    LeaveCriticalSection(&log.lock);
}

bool IsOn() {
    return TheLog().recording != Log::kOff;
}

bool RecordsTransfers() {
    return TheLog().recording == static_cast<int>(Detail::Transfers);
}

void Write(const std::string& event) {
    // The log watches the run without touching it: the reason a caller is about to read stays.
    const DWORD lastError = GetLastError();
    const int lastErrno = errno;
    Log& log = TheLog();
    EnterCriticalSection(&log.lock);
    if (log.file != nullptr) {
        const std::string line = std::to_string(timeGetTime() - log.startedAt) + " " + event + "\n";
        errno = 0;
        if (std::fwrite(line.data(), 1, line.size(), log.file) != line.size() ||
            std::fflush(log.file) != 0) {
            // Reported once by the program; the run goes on as if there were no log.
            log.failure = log.path + ": " + std::strerror(errno != 0 ? errno : EIO);
            std::fclose(log.file);
            log.file = nullptr;
            log.recording = Log::kOff;
        }
    }
    LeaveCriticalSection(&log.lock);
    errno = lastErrno;
    SetLastError(lastError);
}

std::string ErrorText(unsigned long code) {
    char text[512] = "";
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string words(text, length);
    while (!words.empty() &&
           (words.back() == '\n' || words.back() == '\r' || words.back() == ' ')) {
        words.pop_back();
    }
    for (char& c : words) {
        c = c == '\r' || c == '\n' ? ' ' : c;
    }
    return std::to_string(code) + " " + (words.empty() ? "(the system has no text for it)" : words);
}

std::string WriteFailure() {
    Log& log = TheLog();
    EnterCriticalSection(&log.lock);
    std::string failure = log.failure;
    LeaveCriticalSection(&log.lock);
    return failure;
}

}  // namespace runlog
