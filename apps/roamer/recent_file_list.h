#pragma once
// The list of recently opened files shown in Roamer's File menu: most recent first, at most
// `capacity` entries, no duplicates. UI thread only.

#include <cstddef>
#include <string>
#include <vector>

class RecentFileList {
  public:
    explicit RecentFileList(std::size_t capacity) : capacity_(capacity) {}

    // Puts `path` at the top; an equal entry moves up instead of appearing twice, and the
    // oldest entry falls off when the list is full. An empty path is ignored.
    void Add(const std::string& path);

    // Removes `path` when present (a file that could no longer be opened).
    void Remove(const std::string& path);

    // Replaces the whole list with `paths` in order, dropping empty and repeated entries and
    // whatever exceeds the capacity.
    void Assign(const std::vector<std::string>& paths);

    const std::vector<std::string>& Paths() const { return paths_; }
    std::size_t Capacity() const { return capacity_; }

  private:
    std::size_t capacity_;
    std::vector<std::string> paths_;
};
