#include "apps/roamer/recent_file_list.h"

#include <algorithm>

void RecentFileList::Add(const std::string& path) {
    if (path.empty() || capacity_ == 0)
        return;
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > capacity_)
        paths_.resize(capacity_);
}

void RecentFileList::Remove(const std::string& path) {
    std::erase(paths_, path);
}

void RecentFileList::Assign(const std::vector<std::string>& paths) {
    paths_.clear();
    for (const std::string& path : paths) {
        if (paths_.size() == capacity_)
            break;
        if (path.empty() || std::find(paths_.begin(), paths_.end(), path) != paths_.end())
            continue;
        paths_.push_back(path);
    }
}
