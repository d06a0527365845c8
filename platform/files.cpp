#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <system_error>

#include "platform/safe_save.h"

namespace platform {

std::string GetCurrentDirectory() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::current_path(error);
    return error ? std::string() : path.string();
}

bool SetCurrentDirectory(const std::string& path) {
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

std::string GetTempPath() {
    std::string path = "/tmp";
    if (const char* env = std::getenv("TMPDIR"); env && *env && DirectoryExists(env))
        path = env;
    if (path.back() != '/')
        path += '/';
    return path;
}

std::string GetFullPathName(const std::string& name) {
    if (name.empty())
        return {};
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(name, error);
    if (error)
        return {};
    std::string result = path.lexically_normal().string();
    // A normalised directory name keeps a trailing "/" ("/a/b/"); drop it except for the root.
    if (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}

std::string ParentDirectory(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool CreateDirectory(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0;
}

bool RemoveDirectory(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

bool DeleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<std::uint32_t> FileOwner(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(info.st_uid);
}

std::uint32_t CurrentUserId() {
    return static_cast<std::uint32_t>(::getuid());
}

std::uint32_t CurrentProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}

bool ProcessRunning(std::uint32_t pid) {
    if (pid == 0 || pid > static_cast<std::uint32_t>(std::numeric_limits<pid_t>::max()))
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

namespace {

// Whether `path` is a folder itself, not a symbolic link to one, owned by the current user.
bool IsOwnFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

}  // namespace

void RemoveFoldersOfEndedProcesses(
    const std::function<std::optional<std::uint32_t>(std::string_view name)>& processOf) {
    namespace fs = std::filesystem;
    const std::string temp = GetTempPath();
    std::vector<std::string> stale;
    std::error_code error;
    for (fs::directory_iterator entry(temp, error), end; !error && entry != end;
         entry.increment(error)) {
        std::string name = entry->path().filename().string();
        const std::optional<std::uint32_t> pid = processOf(name);
        if (pid && *pid != CurrentProcessId() && !ProcessRunning(*pid))
            stale.push_back(std::move(name));
    }
    for (const std::string& name : stale) {
        // Only this user may replace an entry of theirs in a sticky temporary folder, so the
        // folder checked is the one removed; links inside it are removed, never followed.
        if (IsOwnFolder(temp + name)) {
            std::error_code ignored;
            fs::remove_all(temp + name, ignored);
        }
    }
}

namespace {

bool Match(const char* name, const char* pattern) {
    while (*pattern) {
        if (*pattern == '*') {
            while (*pattern == '*')
                ++pattern;
            if (!*pattern)
                return true;
            for (const char* rest = name; *rest; ++rest) {
                if (Match(rest, pattern))
                    return true;
            }
            return Match("", pattern);
        }
        if (!*name)
            return false;
        if (*pattern != '?' && std::tolower(static_cast<unsigned char>(*pattern)) !=
                                   std::tolower(static_cast<unsigned char>(*name))) {
            return false;
        }
        ++pattern;
        ++name;
    }
    return *name == '\0';
}

}  // namespace

bool MatchesPattern(const std::string& name, const std::string& pattern) {
    std::string effective = pattern;
    // The classic "*.*" stands for every name, dotted or not.
    if (effective.size() >= 3 && effective.compare(effective.size() - 3, 3, "*.*") == 0) {
        effective.resize(effective.size() - 2);
    }
    return Match(name.c_str(), effective.c_str());
}

std::vector<std::string> ListFiles(const std::string& directory, const std::string& pattern) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (!FileExists(directory + "/" + name))
            continue;
        if (MatchesPattern(name, pattern))
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

File::File(File&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

File::~File() {
    Close();
}

bool File::Open(const std::string& path, Mode mode) {
    Close();
    const int flags = mode == Mode::Read ? O_RDONLY : (O_WRONLY | O_CREAT | O_TRUNC);
    fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
    if (fd_ >= 0 && mode == Mode::Read) {
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode))
            Close();
    }
    return fd_ >= 0;
}

std::optional<std::uint64_t> File::Size() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

namespace {

// Repeats `move(done)`, a read or write of the bytes from `done` on that returns what the call
// returned, until `size` bytes have moved, the end of the file, or an error other than EINTR.
template <typename Move>
std::size_t MoveFully(std::size_t size, Move move) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = move(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace

std::size_t ReadFully(int fd, void* buffer, std::size_t size) {
    auto* bytes = static_cast<char*>(buffer);
    return MoveFully(size, [&](std::size_t done) { return ::read(fd, bytes + done, size - done); });
}

std::optional<std::uint64_t> BytesLeft(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    const off_t position = ::lseek(fd, 0, SEEK_CUR);
    if (position < 0)
        return std::nullopt;
    return position >= info.st_size ? 0 : static_cast<std::uint64_t>(info.st_size - position);
}

std::size_t WriteFully(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    return MoveFully(size,
                     [&](std::size_t done) { return ::write(fd, bytes + done, size - done); });
}

std::size_t File::Read(void* buffer, std::size_t size) {
    return fd_ >= 0 ? ReadFully(fd_, buffer, size) : 0;
}

std::size_t File::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const {
    if (fd_ < 0 || offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return 0;
    auto* bytes = static_cast<char*>(buffer);
    return MoveFully(size, [&](std::size_t done) {
        return ::pread(fd_, bytes + done, size - done, static_cast<off_t>(offset + done));
    });
}

std::size_t File::Write(const void* data, std::size_t size) {
    return fd_ >= 0 ? WriteFully(fd_, data, size) : 0;
}

bool File::Close() {
    if (fd_ < 0)
        return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

bool WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes) {
    return SaveFileSafely(path, [bytes](int fd) {
               return WriteFully(fd, bytes.data(), bytes.size()) == bytes.size();
           }) == SaveResult::Saved;
}

}  // namespace platform
