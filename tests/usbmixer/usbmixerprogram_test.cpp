// usb-mixer run as a process, as scripts/with-usb-mixer runs it: it says it is ready once it
// listens, serves a client that connects (and the next one after it goes), plugs the mixer in
// again on SIGUSR2, and on SIGTERM ends and leaves the transcript and the flash.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/programs/shellrun.h"
#include "tests/usbmixer/redirguest.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Waits for the process to end, up to `seconds`: its exit status, -1 when it did not end.
int Reap(pid_t pid, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Whether `path` appears within `seconds`.
bool Appears(const fs::path& path, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int ConnectTo(const fs::path& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A client of the device in the other process: the peer's turn is a bounded wait for its answer.
std::unique_ptr<RedirGuest> Client(const fs::path& socket) {
    const int fd = ConnectTo(socket);
    if (fd < 0) {
        return nullptr;
    }
    return std::make_unique<RedirGuest>(fd, [fd] {
        pollfd readable{fd, POLLIN, 0};
        poll(&readable, 1, 20);
    });
}

std::vector<BYTE> Command(const char* code) {
    std::vector<BYTE> report(65, 0);
    report[0] = 0xF0;
    std::memcpy(&report[1], code, 4);
    return report;
}

class UsbMixerProgram : public testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/usbmixer-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
    }
    void TearDown() override {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        fs::remove_all(m_dir);
    }

    void Start(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), USB_MIXER_PATH);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        ASSERT_EQ(posix_spawn(&m_pid, USB_MIXER_PATH, nullptr, nullptr, argv.data(), environ), 0);
    }
    // Ends it with `signal`: its exit status.
    int End(int signal) {
        kill(m_pid, signal);
        const int status = Reap(m_pid, 30);
        m_pid = 0;
        return status;
    }
    std::string In(const char* name) const { return (m_dir / name).string(); }

    fs::path m_dir;
    pid_t m_pid = 0;
};

TEST_F(UsbMixerProgram, ServesItsClientsAndLeavesTheFlashAtTheEnd) {
    Start({"--socket=" + In("mixer.sock"), "--ready=" + In("ready"),
           "--transcript=" + In("transcript"), "--flash=" + In("flash"), "--unplug-after=1"});
    ASSERT_TRUE(Appears(In("ready"), 30));
    {
        std::unique_ptr<RedirGuest> guest = Client(In("mixer.sock"));
        ASSERT_TRUE(guest);
        ASSERT_TRUE(guest->Until([&] { return guest->events.size() == 4; }));
        EXPECT_EQ(guest->events.back(), "connect 0CA8:0801 0214");
        // Its one transfer, and the mixer leaves for good; SIGUSR2 plugs it in again.
        const RedirGuest::Reply set = guest->Control({0x21, 0x09, 0x03F0, 0, 65}, Command("GECF"));
        EXPECT_EQ(set.status, usb_redir_success);
        ASSERT_TRUE(guest->Until([&] { return guest->events.size() == 5; }));
        EXPECT_EQ(guest->events.back(), "disconnect");
        kill(m_pid, SIGUSR2);
        ASSERT_TRUE(guest->Until([&] { return guest->events.size() == 8; }));
        EXPECT_EQ(guest->events.back(), "connect 0CA8:0801 0214");
    }
    // QEMU connects again after it lost the connection: the next client is served as the first.
    std::unique_ptr<RedirGuest> again = Client(In("mixer.sock"));
    ASSERT_TRUE(again);
    ASSERT_TRUE(again->Until([&] { return again->events.size() == 4; }));
    EXPECT_EQ(again->events.back(), "connect 0CA8:0801 0214");

    EXPECT_EQ(End(SIGTERM), 0);
    EXPECT_EQ(ReadLines(In("transcript")),
              (std::vector<std::string>{"plug 0CA8:0801", "set F0 GECF", "unplug 0CA8:0801",
                                        "plug 0CA8:0801"}));
    // Nothing was written to the flash: both images are there, and empty.
    for (const char* image : {"flash/code.bin", "flash/logic.bin"}) {
        ASSERT_TRUE(fs::exists(In(image))) << image;
        EXPECT_EQ(fs::file_size(In(image)), 0u) << image;
    }
    EXPECT_FALSE(fs::exists(In("mixer.sock")));  // the socket goes with the server
}

TEST_F(UsbMixerProgram, ServesTheSecondMixerOnTheSecondSocket) {
    Start({"--socket=" + In("first.sock"), "--second-socket=" + In("second.sock"), "--second-mixer",
           "--ready=" + In("ready")});
    ASSERT_TRUE(Appears(In("ready"), 30));
    for (const char* socket : {"first.sock", "second.sock"}) {
        std::unique_ptr<RedirGuest> guest = Client(In(socket));
        ASSERT_TRUE(guest) << socket;
        ASSERT_TRUE(guest->Until([&] { return guest->events.size() == 4; })) << socket;
        EXPECT_EQ(guest->events.back(), "connect 0CA8:0801 0214") << socket;
    }
    EXPECT_EQ(End(SIGINT), 0);
}

TEST(UsbMixerCommandLine, RefusesWhatItCannotServe) {
    struct Case {
        const char* arguments;
        int status;
        const char* firstLine;  // on standard error
    } const cases[] = {
        {"", 2, "usb-mixer: --socket=PATH is missing"},
        {"--socket=/tmp/s --second-mixer", 2,
         "usb-mixer: --second-mixer and --second-socket=PATH go together"},
        {"--socket=/tmp/s --second-socket=/tmp/t", 2,
         "usb-mixer: --second-mixer and --second-socket=PATH go together"},
        {"--socket=/tmp/s --dev=/d", 2, "usb-mixer: unknown option --dev"},
        {"--socket=/nonexistent/dir/s", 1,
         "usb-mixer: cannot listen on /nonexistent/dir/s: No such file or directory"},
        {"--socket=/etc/passwd", 1, "usb-mixer: /etc/passwd exists and is not a socket"},
    };
    for (const Case& c : cases) {
        const ShellRun run =
            RunInShell(std::string(USB_MIXER_PATH) + " " + c.arguments + " 2>&1 >/dev/null");
        EXPECT_EQ(run.status, c.status) << c.arguments;
        ASSERT_FALSE(run.lines.empty()) << c.arguments;
        EXPECT_EQ(run.lines[0], c.firstLine) << c.arguments;
    }
}

}  // namespace
