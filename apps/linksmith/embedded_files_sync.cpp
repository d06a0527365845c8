#include "apps/linksmith/embedded_files_sync.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/files.h"

ExtractFolderSync SynchroniseExtractedFiles(const std::string& directory,
                                            std::span<const EmbeddedFileRow> rows) {
    ExtractFolderSync result;
    if (directory.empty())
        return result;
    // Only a real folder of this user's is touched, never one planted by someone else.
    const std::string folder = directory.substr(0, directory.size() - 1);
    platform::CreateDirectory(folder);
    const bool writable = platform::DirectoryExists(folder) &&
                          platform::FileOwner(folder) == platform::CurrentUserId();
    const auto keeps = [&](const std::string& file) {
        return std::any_of(rows.begin(), rows.end(), [&](const EmbeddedFileRow& row) {
            return row.source == kEmbeddedSource && "~" + row.name == file;
        });
    };
    for (const std::string& file : platform::ListFiles(directory, "~*.*")) {
        if (writable && !keeps(file)) {
            platform::DeleteFile(directory + file);
            result.changed = true;
        }
    }
    for (const EmbeddedFileRow& row : rows) {
        if (row.source == kEmbeddedSource)
            continue;
        result.changed = true;
        const std::string target = directory + "~" + row.name;
        std::error_code error;
        if (writable &&
            std::filesystem::copy_file(row.source + "/" + row.name, target,
                                       std::filesystem::copy_options::overwrite_existing, error)) {
            continue;
        }
        if (writable)
            platform::DeleteFile(target);  // no half-copied file is embedded
        result.notCopied.push_back(row.name);
    }
    return result;
}
