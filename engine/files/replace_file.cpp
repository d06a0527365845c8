#include "engine/files/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "engine/files/descriptor_io.h"

namespace {

// Opens a new, so far unused file beside `target` (mode 0666 less the umask); -1 on failure.
int CreateSiblingTemporary(const std::filesystem::path& target, std::filesystem::path& created) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";
        name.append(target.filename().string());
        name.append(".tmp");
        name.append(std::to_string(::getpid()));
        name.push_back('-');
        name.append(std::to_string(counter.fetch_add(1)));
        created = folder.empty() ? std::filesystem::path(name) : folder / name;
        const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// The file that a write to `target` should replace: the end of its chain of links.
std::filesystem::path ResolveTarget(const std::filesystem::path& target) {
    std::error_code error;
    if (!std::filesystem::is_symlink(target, error)) {
        return target;
    }
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    return error ? target : resolved;
}

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path destination = ResolveTarget(target);
    std::filesystem::path temporary;
    const int fd = CreateSiblingTemporary(destination, temporary);
    if (fd < 0) {
        return false;
    }
    struct stat existing {};
    bool ok = WriteAll(fd, bytes);
    if (ok && ::stat(destination.c_str(), &existing) == 0) {
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), destination.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
    }
    return ok;
}
