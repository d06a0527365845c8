#pragma once
// Helpers for the container tests: hand-assembled containers (including lying ones), a private
// temporary folder, and whole-file reads and writes.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Bytes of a text, without its terminating NUL.
Bytes TextBytes(std::string_view text);

// The parts one after the other.
Bytes Concat(std::initializer_list<Bytes> parts);

// Appends `value` as four little-endian bytes.
void PutLe32(Bytes& out, std::uint32_t value);

struct RawEntry {
    std::string name;  // exactly four characters
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

// Header {magic, total, count, 0}, the entries, then `tail` as it stands. The fields are taken
// as given, so that tests can make them lie.
Bytes RawContainer(std::string_view magic, std::uint32_t total, std::uint32_t count,
                   const std::vector<RawEntry>& entries, const Bytes& tail);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadFileBytes(const std::filesystem::path& path);
