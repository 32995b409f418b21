#include "framework/portable/lineinput.h"

#include <istream>

#include "framework/portable/lineformat.h"

namespace portable {

namespace {

// Enough read-ahead for a scripted run; a reader that gets further ahead waits for the wizard.
constexpr std::size_t kMaxQueuedWords = 64;
// How long the owner waits at its end for a reader inside a read. A read of a stream that has its
// data finishes at once; one blocked on a silent pipe or terminal would keep the owner for ever.
constexpr std::chrono::milliseconds kReaderGrace{250};

}  // namespace

LineInput::LineInput(std::istream& in) : m_shared(std::make_shared<Shared>()) {
    m_reader = std::thread(&LineInput::Read, std::ref(in), m_shared);
}

LineInput::~LineInput() {
    std::unique_lock lock(m_shared->mutex);
    m_shared->stop = true;
    m_shared->changed.notify_all();
    const bool idle =
        m_shared->changed.wait_for(lock, kReaderGrace, [this] { return !m_shared->reading; });
    lock.unlock();
    // A reader outside a read sees `stop` before it touches the stream again, so joining it is
    // quick; one still blocked keeps its own share of the queue and ends with its read.
    if (idle) {
        m_reader.join();
    } else {
        m_reader.detach();
    }
}

void LineInput::Read(std::istream& in, std::shared_ptr<Shared> shared) {
    std::string line;
    for (;;) {
        {
            std::unique_lock lock(shared->mutex);
            shared->changed.wait(
                lock, [&] { return shared->stop || shared->words.size() < kMaxQueuedWords; });
            if (shared->stop) {
                return;
            }
            shared->reading = true;
        }
        const bool got = static_cast<bool>(std::getline(in, line));
        std::lock_guard lock(shared->mutex);
        shared->reading = false;
        if (!got) {
            shared->ended = true;
        } else if (std::string word = Trimmed(line); !word.empty()) {
            shared->words.push_back(std::move(word));
        }
        shared->changed.notify_all();
        if (shared->ended) {
            return;
        }
    }
}

LineInput::Result LineInput::Next(std::chrono::steady_clock::time_point deadline,
                                  std::string* word) {
    std::unique_lock lock(m_shared->mutex);
    m_shared->changed.wait_until(lock, deadline,
                                 [this] { return !m_shared->words.empty() || m_shared->ended; });
    if (m_shared->words.empty()) {
        return m_shared->ended ? Result::Ended : Result::None;
    }
    *word = std::move(m_shared->words.front());
    m_shared->words.pop_front();
    m_shared->changed.notify_all();  // room for the reader
    return Result::Word;
}

}  // namespace portable
