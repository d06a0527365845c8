#pragma once
// ChunkedFile: one open file and transfers to or from it in chunks of 0x20000 bytes, one read or
// write call per chunk with a yield between chunks, so that a long transfer leaves the processor
// to others and can be cancelled between chunks. Closing raises the cancel flag when a transfer
// is under way. Mimeo's reader and the avatar writer use it.
//
// Threads: one thread at a time transfers; Close and Cancelled may be called on any thread, also
// while a transfer runs. Close waits until a running transfer has stopped (at the end of its
// current chunk) before it closes the descriptor, so a transfer never uses a descriptor number
// that has been closed and perhaps given to another file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/guarded.h"

namespace platform {

class ChunkedFile {
  public:
    static constexpr std::size_t kChunkSize = 0x20000;
    enum class Direction { Read, Write };

    ChunkedFile() = default;
    // Takes an open descriptor; Close closes it only when `owned`.
    ChunkedFile(int fd, bool owned);
    ChunkedFile(const ChunkedFile&) = delete;
    ChunkedFile& operator=(const ChunkedFile&) = delete;
    ~ChunkedFile();

    // Opens an existing file for reading (nothing is written through it). False, and the object
    // stays closed, when the file cannot be opened or is a folder.
    bool OpenExisting(const std::string& path);
    // The file's size in bytes; nothing when closed or when it cannot be had.
    std::optional<std::uint64_t> Size() const;

    // Moves up to `size` bytes between `buffer` and the file at its current position. Stops at a
    // raised cancel flag, a failed call, or a call that moved less than asked (the end of the
    // file, a full disk). Returns the number of bytes moved; 0 once closed.
    std::size_t Transfer(Direction direction, void* buffer, std::size_t size);
    std::size_t Read(void* buffer, std::size_t size);
    std::size_t Write(const void* data, std::size_t size);

    // Whether Close cancelled a transfer of this object.
    bool Cancelled() const;

    // Raises the cancel flag when a transfer is under way, waits for the transfer to stop and
    // closes the descriptor when it is owned. False when closing it reported an error (a full
    // disk, for example). Later transfers move nothing.
    bool Close();

  private:
    struct Handle {
        int fd = -1;
        bool owned = false;
    };
    struct Flags {
        bool cancelled = false;
        bool transferring = false;
    };
    // Held for the length of a transfer and while closing.
    Guarded<Handle> handle_;
    Guarded<Flags> flags_;
};

}  // namespace platform
