#pragma once
// Saving a user's file so that the old file is intact or the new one whole, whatever happens:
// the new bytes go to a file in the target's folder that has no name while it is written (an
// unnamed file, where the file system offers one) or a short hidden name made from a hash of the
// target's name and this process's number. Once written and flushed it gets the target's
// permissions (and owner, where the user may give it) and is renamed over the target.
//
// A symbolic link, or a chain of them, relative or absolute, is followed to the file it names,
// and that file is replaced or, where the link dangles, made in the folder the link names; the
// links stay as they are. A chain that loops or leads into a missing folder is refused.
//
// Only a regular file is ever replaced. A target that exists and is anything else (a character
// or block device, a FIFO, a socket, a folder) is refused, as `OpenFailed`, before anything is
// written or opened: a program reports it with its usual text for a file it cannot write and
// the node stays as it was. (Opening a FIFO to write through it could wait for ever for a
// reader, and renaming over a device would replace it.)
//
// A target that exists and that the effective user may not write is refused and left as it was;
// so is a save into a folder the user may not write. A root user, whom the system lets write
// anything, is refused a file or folder that carries no write permission bit at all, as a
// read-only file is meant to be kept. Every save of a target first removes the temporary files
// of that target left by processes that no longer run (a save killed half-way), so none
// outlives the next save.
//
// Any thread; two saves of the same target at once leave one of the two contents.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class SaveResult {
    Saved,
    OpenFailed,   // the target or its folder may not be written, the folder does not exist or
                  // no file could be made in it; nothing was written
    WriteFailed,  // writing, flushing or renaming failed; the target is as it was
};

// Writes the new content to `fd`, an open, empty file; false when it could not. Must not throw.
using SaveWriter = std::function<bool(int fd)>;

// Saves what `write` writes at `path` as described at the top. No file is left but the target.
// With `permissionsOf` the new file takes the permissions (and owner, where the user may give
// it) of that existing file, followed when it is a link, instead of the target's: a file made
// from another, as Compactor's thumbnail from its panorama. When that file cannot be looked at
// the save is refused (`OpenFailed`).
SaveResult SaveFileSafely(const std::string& path, const SaveWriter& write,
                          const std::string& permissionsOf = {});

// The file that a save of `path` replaces or makes: the end of its chain of symbolic links,
// with the folder part of each link's path kept before a relative link's text; `path` itself
// when it is no link, or when its chain loops (a save of it is then refused).
std::string SavedFilePath(const std::string& path);

// A new path in the folder of the file that a save of `path` replaces or makes (see
// SavedFilePath) for a temporary file of this process that belongs to that target: "." + hash
// of the name + "-" + process number + "-" + a counter + `suffix`, well within the file
// system's limit on names whatever the target's length. A save of the target removes it once
// this process has ended. Empty when a save of `path` would be refused before writing (see the
// top), so that nothing is written beside a target that cannot be saved.
std::string TemporaryPathBeside(const std::string& path, std::string_view suffix);

}  // namespace platform
