#pragma once
// The rows of the embedded-files dialog: which files the open panorama is to carry, each with
// its name (without the extraction folder's leading "~"), where it comes from ("[embedded]" for
// a file already in the extraction folder, else the folder of a new file on disk) and its size.
// Every file of the folder has its row, even two whose names differ only in letter case (two
// files on Linux); a new file's name must differ from every listed one regardless of case. No
// Qt here; UI thread (a name clash is reported in a message box).

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/window.h"

// The source of a file that is already in the extraction folder.
inline constexpr const char* kEmbeddedSource = "[embedded]";
inline constexpr const char* kDuplicateEmbeddedNameText =
    "All embedded files must have unique names.";

struct EmbeddedFileRow {
    std::string name;    // without the leading "~"
    std::string source;  // kEmbeddedSource, or the new file's folder
    std::uint64_t size = 0;
};

// The size in decimal with a comma between every group of three digits from the right.
std::string FormatFileSize(std::uint64_t size);

// Whether two file names are the same when letter case is ignored.
bool SameFileName(const std::string& a, const std::string& b);

class EmbeddedFileList {
  public:
    // `owner` owns the clash message box.
    explicit EmbeddedFileList(platform::WindowHandle owner = platform::kNoWindow) : owner_(owner) {}

    // Shows the clash message in place of the box owned by `owner` (a dialog editing the list
    // shows it over itself); an empty one restores that box.
    void SetClashMessage(std::function<void(const char* text)> show) {
        showClash_ = std::move(show);
    }

    // A row for every file named "~..." in `directory` (ending in "/"), in name order; files of
    // any length, zero included. Nothing when the folder does not exist.
    void AddExtractedFiles(const std::string& directory);
    // Adds one row. With `embeddedSize` the path is a file of the extraction folder ("~name")
    // of that size, always listed; without it, a new file's full path on disk, taken only when
    // it is a regular file (anything else is skipped without a word) whose name no listed row
    // has in any letter case (else refused with the message kDuplicateEmbeddedNameText). True
    // when a row was added.
    bool AddEmbeddedFileRow(const std::string& path,
                            std::optional<std::uint64_t> embeddedSize = std::nullopt);
    // Removes the rows at the given indices (any order; out-of-range ones are ignored); later
    // rows move down.
    void RemoveRows(std::span<const int> rows);

    const std::vector<EmbeddedFileRow>& Rows() const { return rows_; }

  private:
    platform::WindowHandle owner_;
    std::function<void(const char*)> showClash_;
    std::vector<EmbeddedFileRow> rows_;
};
