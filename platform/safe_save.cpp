#include "platform/safe_save.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/files.h"

namespace platform {
namespace {

// Linux follows at most this many symbolic links in one lookup.
constexpr int kMaxLinks = 40;

// The end of the chain of links from `path`: a relative link's text follows the folder part of
// the link's path, which the system resolves as it resolves the link itself. Nothing when the
// chain loops or runs longer than the system would follow.
std::optional<std::filesystem::path> EndOfLinks(const std::string& path) {
    std::filesystem::path current(path);
    for (int followed = 0; followed <= kMaxLinks; ++followed) {
        std::error_code error;
        if (!std::filesystem::is_symlink(current, error))
            return current;
        const std::filesystem::path text = std::filesystem::read_symlink(current, error);
        if (error)
            return current;
        current = current.parent_path() / text;  // an absolute text replaces the whole path
    }
    return std::nullopt;
}

// "." and a hash of the target's name: the start of every temporary name of that target.
std::string TemporaryPrefix(const std::string& name) {
    std::uint64_t hash = 14695981039346656037ULL;  // 64-bit FNV-1a
    for (const unsigned char c : name) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    char text[20];
    std::snprintf(text, sizeof text, ".%016llx-", static_cast<unsigned long long>(hash));
    return text;
}

std::string TemporaryName(const std::string& name, std::string_view suffix) {
    static std::atomic<unsigned> counter{0};
    return TemporaryPrefix(name) + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1)) + std::string(suffix);
}

// Whether the effective user may write `name` in `folder` (W_OK, or W_OK | X_OK for a folder).
// The system lets root write anything; root is still refused what has no write bit at all.
bool MayWrite(int folder, const char* name, const struct stat& info, int how) {
    return ::faccessat(folder, name, how, AT_EACCESS) == 0 &&
           (::geteuid() != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0);
}

// Removes the temporary files of `name` whose process no longer runs.
void RemoveStaleTemporaries(int folder, const std::string& name) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    const std::string prefix = TemporaryPrefix(name);
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        if (!entryName.starts_with(prefix))
            continue;
        const std::string_view rest = entryName.substr(prefix.size());
        pid_t pid = 0;
        const char* const last = rest.data() + rest.size();
        const auto [end, fault] = std::from_chars(rest.data(), last, pid);
        if (fault != std::errc() || end == last || *end != '-' || pid <= 0 || pid == ::getpid())
            continue;
        if (!ProcessRunning(static_cast<std::uint32_t>(pid)))
            stale.emplace_back(entryName);
    }
    ::closedir(dir);
    for (const std::string& entryName : stale)
        ::unlinkat(folder, entryName.c_str(), 0);
}

// Creates a new file under a fresh temporary name where the file system offers no unnamed
// files; -1 on failure.
int CreateNamed(int folder, const std::string& name, std::string& created) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = TemporaryName(name, ".tmp");
        const int fd =
            ::openat(folder, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            created = candidate;
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the unnamed file `fd` a fresh temporary name; false when it cannot be linked. Linux
// links no file over an existing name, so the rename that follows replaces the target.
bool LinkUnnamed(int fd, int folder, const std::string& name, std::string& linked) {
    char self[40];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = TemporaryName(name, ".tmp");
        if (::linkat(AT_FDCWD, self, folder, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno == ENOENT && ::linkat(fd, "", folder, candidate.c_str(), AT_EMPTY_PATH) == 0)) {
            linked = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Gives the new file the old one's owner and group where the user may (a privileged user may);
// false when it may not: the file then belongs to the user who saved it, as any new file would.
bool KeepOwner(int fd, const struct stat& existing) {
    return (existing.st_uid == ::geteuid() && existing.st_gid == ::getegid()) ||
           ::fchown(fd, existing.st_uid, existing.st_gid) == 0;
}

void SyncFolder(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a save replaces or makes, found and checked before anything is written.
struct Located {
    Located() = default;
    Located(const Located&) = delete;
    Located& operator=(const Located&) = delete;
    ~Located() {
        if (folder >= 0)
            ::close(folder);
    }

    std::string folderPath;
    std::string name;
    int folder = -1;  // the folder, open as a path
    bool exists = false;
    struct stat existing {};
};

// Follows `path` to the file that a save replaces or makes and checks that it may be saved:
// false when the save is refused.
bool Locate(const std::string& path, Located& target) {
    const std::optional<std::filesystem::path> end = EndOfLinks(path);
    if (!end)
        return false;
    target.name = end->filename().string();
    if (target.name.empty() || target.name == "." || target.name == "..")
        return false;
    std::string folder = end->parent_path().string();
    target.folderPath = folder.empty() ? std::string(".") : std::move(folder);
    target.folder = ::open(target.folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat folderInfo {};
    if (target.folder < 0 || ::fstat(target.folder, &folderInfo) != 0 ||
        !MayWrite(target.folder, ".", folderInfo, W_OK | X_OK)) {
        return false;
    }
    target.exists =
        ::fstatat(target.folder, target.name.c_str(), &target.existing, AT_SYMLINK_NOFOLLOW) == 0;
    // A name too long for the file system, or a target that cannot be looked at, is refused;
    // so is anything but a regular file (a link here appeared after the chain was followed).
    if (!target.exists)
        return errno == ENOENT;
    return S_ISREG(target.existing.st_mode) &&
           MayWrite(target.folder, target.name.c_str(), target.existing, W_OK);
}

// Writes the new file in `folder` and renames it over `name`; it takes the permissions (and
// owner) of `permissions` when given.
SaveResult SaveInFolder(int folder, const std::string& name, const struct stat* permissions,
                        const SaveWriter& write) {
    RemoveStaleTemporaries(folder, name);

    std::string temporary;  // stays empty while the file has no name
    int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        fd = CreateNamed(folder, name, temporary);
    if (fd < 0)
        return SaveResult::OpenFailed;

    bool ok = write(fd);
    if (ok && permissions) {
        KeepOwner(fd, *permissions);
        ok = ::fchmod(fd, permissions->st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ok && (!temporary.empty() || LinkUnnamed(fd, folder, name, temporary));
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::renameat(folder, temporary.c_str(), folder, name.c_str()) == 0;
    if (!ok && !temporary.empty())
        ::unlinkat(folder, temporary.c_str(), 0);
    if (ok)
        SyncFolder(folder);
    return ok ? SaveResult::Saved : SaveResult::WriteFailed;
}

}  // namespace

SaveResult SaveFileSafely(const std::string& path, const SaveWriter& write,
                          const std::string& permissionsOf) {
    Located target;
    if (!Locate(path, target))
        return SaveResult::OpenFailed;
    struct stat model {};
    if (!permissionsOf.empty() && ::stat(permissionsOf.c_str(), &model) != 0)
        return SaveResult::OpenFailed;
    const struct stat* permissions = !permissionsOf.empty() ? &model
                                     : target.exists        ? &target.existing
                                                            : nullptr;
    return SaveInFolder(target.folder, target.name, permissions, write);
}

std::string SavedFilePath(const std::string& path) {
    return EndOfLinks(path).value_or(path).string();
}

std::string TemporaryPathBeside(const std::string& path, std::string_view suffix) {
    Located target;
    if (!Locate(path, target))
        return {};
    return target.folderPath + "/" + TemporaryName(target.name, suffix);
}

}  // namespace platform
