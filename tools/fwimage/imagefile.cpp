#include "tools/fwimage/imagefile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

#include "firmware/firmwareimage.h"
#include "tools/fwimage/commands.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void FailOn(const std::string& what, const std::string& path, const std::string& why) {
    throw CommandError("cannot " + what + " '" + path + "': " + why);
}

}  // namespace

std::vector<BYTE> ReadImageFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) {
        FailOn("read", path, error.message());
    }
    if (!std::filesystem::is_regular_file(status)) {
        FailOn("read", path, "not a regular file");
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        FailOn("read", path, error.message());
    }
    if (size > std::numeric_limits<DWORD>::max() - IMAGE_TAIL_SIZE) {
        FailOn("read", path, "too large for a firmware image");
    }
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        FailOn("read", path, std::strerror(errno));
    }
    std::vector<BYTE> bytes(static_cast<std::size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        FailOn("read", path, "file changed or could not be read to its end");
    }
    return bytes;
}

void WriteImageFile(const std::string& path, const std::vector<BYTE>& bytes) {
    const std::string temporary = path + ".part";
    // A temporary file that an interrupted run left, or a link that someone put in its place to
    // have the image written elsewhere, goes first: unlink removes the name, never what it names.
    if (unlink(temporary.c_str()) != 0 && errno != ENOENT) {
        FailOn("write", path, "cannot remove '" + temporary + "': " + std::strerror(errno));
    }
    // Made afresh, and never through a link: one put there since fails the open.
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        FailOn("write", path, std::strerror(errno));
    }
    FilePtr file(fdopen(fd, "wb"));
    if (!file) {
        const int error = errno;
        close(fd);
        unlink(temporary.c_str());
        FailOn("write", path, std::strerror(error));
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    const bool closed = std::fclose(file.release()) == 0;
    std::error_code error;
    if (!written || !closed) {
        std::filesystem::remove(temporary, error);
        FailOn("write", path, "write failed (disk full?)");
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        FailOn("write", path, error.message());
    }
}
