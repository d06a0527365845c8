#pragma once
// The compressor's stored settings: section "Compression", values "Codec", "Quality" and
// "Thumbnail", below the registry key "Tavrin" and the program's name. They live in an INI file
// under the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config):
// Tavrin/Compactor.conf, or Tavrin/<word>/Compactor.conf once the key was extended with a word.
// User-interface thread only. Every read and write opens the file anew, so two objects (or two
// processes) with the same key see each other's values.

#include <cstdint>
#include <string>
#include <string_view>

class CompressionSettings {
  public:
    static constexpr int kDefaultCodec = 0;
    static constexpr int kDefaultQuality = 75;
    static constexpr int kDefaultThumbnail = 1;
    // What ReadCodec gives for a stored number that names no codec.
    static constexpr int kUnknownCodec = -1;

    // The key is "Tavrin".
    CompressionSettings() = default;

    // The key becomes "Tavrin", a backslash and `word`; later reads and writes use it. The
    // word's backslashes (and slashes) separate further levels; empty, "." and ".." levels are
    // dropped so the file stays inside the configuration folder.
    void SetRegistryKey(std::string_view word);
    // "Tavrin" or "Tavrin\<word>".
    const std::string& RegistryKey() const { return key_; }
    // The INI file that holds the values for the current key.
    std::string FilePath() const;

    // Stored values, or the defaults when absent or not whole numbers. Numbers are read in 64
    // bits before their range is checked: a codec outside 0..5, however large, reads as
    // kUnknownCodec; a quality outside 0..100 is clamped; any thumbnail other than 0 reads as 1.
    int ReadCodec() const;
    int ReadQuality() const;
    int ReadThumbnail() const;

    // Writes one value at once. A file that cannot be written loses the value silently (the
    // settings then keep their earlier values), as with an unwritable registry.
    void WriteCodec(int codec);
    void WriteQuality(int quality);
    void WriteThumbnail(int thumbnail);

  private:
    std::int64_t ReadValue(const char* name, int defaultValue) const;
    void WriteValue(const char* name, int value);

    std::string key_ = "Tavrin";
};
