// The global namespace of a program for real devices: a name is a lock on a file of a directory
// that every user reaches, so other processes (here: a lock the test takes on its own open of the
// file, which the kernel treats as another holder) keep a name, and a planted file cannot take the
// program somewhere else.
#include "platform/portable/globalmutexes.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/win32api.h"

namespace {

class GlobalMutexes : public testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/vantor-locks-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        m_directory = folder;
        portable::SetGlobalNamespaceDirectory(m_directory);
    }
    void TearDown() override {
        portable::SetGlobalNamespaceDirectory("");
        std::filesystem::remove_all(m_directory);
    }
    std::string LockFile() const { return m_directory + "/Update.lock"; }
    // Whether some holder has the lock file locked now.
    bool Locked() const {
        const int fd = open(LockFile().c_str(), O_RDONLY | O_CLOEXEC);
        const bool locked = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0;
        if (fd >= 0) {
            close(fd);
        }
        return locked;
    }

    std::string m_directory;
};

TEST_F(GlobalMutexes, ANameIsALockOnItsFileHeldUntilTheLastHandleCloses) {
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, "Global\\Update");
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(Locked());
    struct stat file {};
    ASSERT_EQ(stat(LockFile().c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0644u);  // any user's wizard can open it to lock it
    EXPECT_EQ(portable::GlobalMutexHolder("Update"), getpid());
    EXPECT_TRUE(CloseHandle(mutex));
    EXPECT_FALSE(Locked());
    EXPECT_EQ(portable::GlobalMutexHolder("Update"), 0);
}

TEST_F(GlobalMutexes, ANameThatAnotherHolderLocksExistsAlready) {
    const int other = open(LockFile().c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, "Global\\Update");
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(portable::GlobalMutexHolder("Update"), getpid());
    EXPECT_TRUE(CloseHandle(mutex));
    close(other);  // the other holder ends: the name is free
    const HANDLE free = CreateMutexA(nullptr, FALSE, "Global\\Update");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(CloseHandle(free));
}

TEST_F(GlobalMutexes, APlantedLinkOrFifoIsRefusedWithoutBlocking) {
    const std::string victim = m_directory + "/victim";
    for (const bool link : {true, false}) {
        SCOPED_TRACE(link ? "symbolic link" : "FIFO");
        unlink(LockFile().c_str());
        ASSERT_EQ(
            link ? symlink(victim.c_str(), LockFile().c_str()) : mkfifo(LockFile().c_str(), 0666),
            0);
        EXPECT_EQ(CreateMutexA(nullptr, FALSE, "Global\\Update"), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_NE(access(victim.c_str(), F_OK), 0);  // nothing made through the link
    }
}

}  // namespace
