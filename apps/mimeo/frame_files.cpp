#include "apps/mimeo/frame_files.h"

#include <algorithm>
#include <string_view>

namespace {

std::string_view NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
}

}  // namespace

void SortFrameFiles(std::vector<std::string>& paths) {
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        const std::string_view nameA = NameOf(a);
        const std::string_view nameB = NameOf(b);
        return nameA != nameB ? nameA < nameB : a < b;
    });
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}
