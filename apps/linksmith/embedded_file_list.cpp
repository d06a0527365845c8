#include "apps/linksmith/embedded_file_list.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

#include "apps/linksmith/linksmith_editor.h"
#include "platform/files.h"
#include "platform/message_box.h"

namespace {

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string FormatFileSize(std::uint64_t size) {
    const std::string digits = std::to_string(size);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

bool SameFileName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

void EmbeddedFileList::AddExtractedFiles(const std::string& directory) {
    for (const std::string& name : platform::ListFiles(directory, "~*.*")) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(directory + name, error);
        if (!error)
            AddEmbeddedFileRow(name, size);
    }
}

bool EmbeddedFileList::AddEmbeddedFileRow(const std::string& path,
                                          std::optional<std::uint64_t> embeddedSize) {
    EmbeddedFileRow row;
    if (embeddedSize) {
        row.name = path.empty() ? path : path.substr(1);
        row.source = kEmbeddedSource;
        row.size = *embeddedSize;
    } else {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            return false;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (error)
            return false;
        const std::size_t slash = path.rfind('/');
        row.name = slash == std::string::npos ? path : path.substr(slash + 1);
        row.source = slash == std::string::npos ? std::string() : path.substr(0, slash);
        row.size = size;
    }
    const bool clash =
        !embeddedSize && std::any_of(rows_.begin(), rows_.end(), [&](const EmbeddedFileRow& other) {
            return SameFileName(other.name, row.name);
        });
    if (clash) {
        if (showClash_)
            showClash_(kDuplicateEmbeddedNameText);
        else
            platform::MessageBox(owner_, kDuplicateEmbeddedNameText, kLinksmithCaption,
                                 platform::MB_OK);
        return false;
    }
    rows_.push_back(std::move(row));
    return true;
}

void EmbeddedFileList::RemoveRows(std::span<const int> rows) {
    std::vector<int> sorted(rows.begin(), rows.end());
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (const int row : sorted) {
        if (row >= 0 && row < static_cast<int>(rows_.size()))
            rows_.erase(rows_.begin() + row);
    }
}
