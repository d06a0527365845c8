#include "platform/chunked_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace platform {

ChunkedFile::ChunkedFile(int fd, bool owned) : handle_(Handle{fd, owned}) {}

ChunkedFile::~ChunkedFile() {
    Close();
}

bool ChunkedFile::OpenExisting(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return false;
    }
    *handle_.Lock() = {fd, true};
    *flags_.Lock() = {};
    return true;
}

std::optional<std::uint64_t> ChunkedFile::Size() const {
    const auto handle = handle_.Lock();
    struct stat info {};
    if (handle->fd < 0 || ::fstat(handle->fd, &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t ChunkedFile::Transfer(Direction direction, void* buffer, std::size_t size) {
    {
        const auto flags = flags_.Lock();
        if (flags->cancelled)
            return 0;
        flags->transferring = true;
    }
    std::size_t total = 0;
    {
        const auto handle = handle_.Lock();
        auto* position = static_cast<char*>(buffer);
        std::size_t remaining = size;
        while (remaining > 0 && handle->fd >= 0 && !Cancelled()) {
            const std::size_t asked = std::min(kChunkSize, remaining);
            const ssize_t moved = direction == Direction::Read
                                      ? ::read(handle->fd, position, asked)
                                      : ::write(handle->fd, position, asked);
            if (moved < 0 && errno == EINTR)
                continue;
            if (moved <= 0)
                break;
            total += static_cast<std::size_t>(moved);
            if (static_cast<std::size_t>(moved) < asked)
                break;
            position += moved;
            remaining -= asked;
            if (remaining > 0 && !Cancelled())
                std::this_thread::yield();
        }
    }
    flags_.Lock()->transferring = false;
    return total;
}

std::size_t ChunkedFile::Read(void* buffer, std::size_t size) {
    return Transfer(Direction::Read, buffer, size);
}

std::size_t ChunkedFile::Write(const void* data, std::size_t size) {
    // A write only reads from the buffer; Transfer serves both directions.
    return Transfer(Direction::Write, const_cast<void*>(data), size);
}

bool ChunkedFile::Cancelled() const {
    return flags_.Lock()->cancelled;
}

bool ChunkedFile::Close() {
    {
        const auto flags = flags_.Lock();
        if (flags->transferring)
            flags->cancelled = true;
    }
    const auto handle = handle_.Lock();
    const bool ok = handle->fd < 0 || !handle->owned || ::close(handle->fd) == 0;
    *handle = {};
    return ok;
}

}  // namespace platform
