#pragma once
// Brings the open panorama's extraction folder in line with the rows the embedded-files dialog
// confirmed: the folder then holds "~name" for every row, so that the next save embeds exactly
// those files. Any thread, but not while anything else uses the folder.

#include <span>
#include <string>
#include <vector>

#include "apps/linksmith/embedded_file_list.h"

struct ExtractFolderSync {
    bool changed = false;                // a file was deleted or a new one copied in
    std::vector<std::string> notCopied;  // names of new files that could not be copied
};

// `directory` is the extraction folder with its final "/". Deletes every "~..." file that no
// "[embedded]" row names exactly (byte for byte: "~a.txt" and "~A.txt" are two files), so that
// a file removed and added again takes the new content; creates the folder when it is missing;
// copies every new row's file to
// "~name". The folder is written only when it is a real folder of this user's.
ExtractFolderSync SynchroniseExtractedFiles(const std::string& directory,
                                            std::span<const EmbeddedFileRow> rows);
