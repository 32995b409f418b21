// The person's words for the line view: the lines of a stream, read on a thread of their own so
// that the wizard never blocks on its input, trimmed, blank lines left out.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace portable {

class LineInput {
public:
    // `in` must outlive the reader unless it has reached its end: a reader still blocked in a read
    // when this object goes away is left behind to finish on its own (std::cin lives until exit).
    explicit LineInput(std::istream& in);
    ~LineInput();
    LineInput(const LineInput&) = delete;
    LineInput& operator=(const LineInput&) = delete;

    enum class Result { Word, None, Ended };
    // The next word into `*word`; None when none came by `deadline`, Ended when none ever will.
    Result Next(std::chrono::steady_clock::time_point deadline, std::string* word);

private:
    // Shared with the reader thread, which may outlive this object.
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::string> words;
        bool ended = false;    // the stream has no more lines
        bool stop = false;     // the owner is going away
        bool reading = false;  // the reader is inside a read of the stream
    };

    static void Read(std::istream& in, std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
    std::thread m_reader;
};

}  // namespace portable
