// The UNIX socket a mixer is served on: QEMU connects to it as the client, and connects again
// after it lost the connection (reconnect=1), so the socket stays open for the next client.
#pragma once

#include <string>

namespace sim {

class RedirListener {
public:
    RedirListener() = default;
    ~RedirListener();
    RedirListener(const RedirListener&) = delete;
    RedirListener& operator=(const RedirListener&) = delete;

    // Listens on `path`, which must not exist or be a socket (one left by an earlier run is
    // replaced); false, with a message, when it cannot.
    bool Listen(const std::string& path, std::string* error);
    int Fd() const { return m_fd; }
    // A client that is waiting, as a connected socket that does not block; -1 when none is.
    int Accept();

private:
    std::string m_path;
    int m_fd = -1;
};

}  // namespace sim
