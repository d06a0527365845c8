#pragma once
// Files and directories: the current directory, the temporary directory, full paths, reading
// and writing files, creating, listing and removing directories. Paths are POSIX paths.
// Any thread; the current directory is process-wide, so callers that change it briefly must
// restore it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The current directory; empty when it cannot be had.
std::string GetCurrentDirectory();
// False (nothing changed) when the directory does not exist or cannot be entered.
bool SetCurrentDirectory(const std::string& path);

// The temporary directory: $TMPDIR when it names a directory, else /tmp; always ends in "/".
std::string GetTempPath();

// `name` made absolute against the current directory and normalised ("." and ".." removed);
// the file need not exist. Empty for an empty name or when the current directory is unknown.
std::string GetFullPathName(const std::string& name);

// The part of `path` before its last "/", without that "/" unless it is the root: "/a/b.pan"
// gives "/a", "/b.pan" gives "/". Empty when there is no "/".
std::string ParentDirectory(const std::string& path);

// Creates one directory (mode 0700). False when it cannot be made or already exists.
bool CreateDirectory(const std::string& path);
// Removes an empty directory. False otherwise.
bool RemoveDirectory(const std::string& path);
bool DeleteFile(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// The owner's user id of the file or directory, or nothing when it cannot be had.
std::optional<std::uint32_t> FileOwner(const std::string& path);
std::uint32_t CurrentUserId();
std::uint32_t CurrentProcessId();
// Whether a process with this id exists (one of another user's counts).
bool ProcessRunning(std::uint32_t pid);
// Removes, with everything in them, the entries of the temporary directory that `processOf`
// gives a process id for (from the entry's name) where that process is not this one, no longer
// runs, and the entry is a folder of this user's (never a link to one). Every other
// entry is left as it is; a folder that cannot be removed is left for a later try. For the
// private folders a process makes there and that one killed outright leaves behind.
void RemoveFoldersOfEndedProcesses(
    const std::function<std::optional<std::uint32_t>(std::string_view name)>& processOf);

// Whether `name` matches a pattern of '*' (any run) and '?' (one character), compared
// case-insensitively for ASCII letters. "*.*" matches every name, with or without a dot, as
// the classic pattern does; so "~*.*" matches every name that begins with "~".
bool MatchesPattern(const std::string& name, const std::string& pattern);
// The names (no directory part) of the regular files in `directory` that match `pattern`,
// sorted. Empty when the directory cannot be read.
std::vector<std::string> ListFiles(const std::string& directory, const std::string& pattern);

// An open file. Movable, not copyable; closes itself.
class File {
  public:
    enum class Mode { Read, CreateWrite };
    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    // Read: an existing file. CreateWrite: created or truncated, mode 0600 | umask. False on
    // failure (the object stays closed).
    bool Open(const std::string& path, Mode mode);
    bool IsOpen() const { return fd_ >= 0; }
    // Size in bytes, or nothing when it cannot be had.
    std::optional<std::uint64_t> Size() const;
    // Reads up to `size` bytes; returns how many were read (fewer only at the end or on an
    // error).
    std::size_t Read(void* buffer, std::size_t size);
    // Reads up to `size` bytes from byte `offset` of the file, leaving the file's position as it
    // was; returns how many were read (fewer only at the end or on an error).
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const;
    // Writes all bytes; returns how many were written (fewer only on an error).
    std::size_t Write(const void* data, std::size_t size);
    // Closes; false when the close reported an error (e.g. a full disk).
    bool Close();

  private:
    int fd_ = -1;
};

// Reads until `size` bytes are in, the file ends or a read fails, retrying interrupted and
// partial reads; the number of bytes read. Any thread; the descriptor stays the caller's.
std::size_t ReadFully(int fd, void* buffer, std::size_t size);

// The bytes from the descriptor's position to the end of its file, when it is a regular file;
// nothing for a pipe, a socket or a descriptor that cannot be asked. Any thread.
std::optional<std::uint64_t> BytesLeft(int fd);

// Writes all `size` bytes unless a write fails, retrying interrupted and partial writes; the
// number of bytes written. Any thread; the descriptor stays the caller's.
std::size_t WriteFully(int fd, const void* data, std::size_t size);

// Makes the file at `path` hold exactly `bytes` through SaveFileSafely (platform/safe_save.h):
// the old file is intact or the new one whole, a target the user may not write or that is no
// regular file (a device, a FIFO) is refused, the target keeps its permissions and a symbolic
// link is followed to the file it names. False when the save was refused or failed: the target
// is then as it was and no temporary file is left. Any thread.
bool WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace platform
