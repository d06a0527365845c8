#pragma once
// Cubestitch's stored settings: section "Seam", values "Width", "Height" and "Aspect", in the
// INI file Tavrin/Cubestitch.conf under the user's configuration folder ($XDG_CONFIG_HOME,
// else ~/.config), the scheme Compactor uses for its own. Every read and write opens the file
// anew. User-interface thread (or any one thread at a time).

#include <string>

namespace cubestitch {

class SeamSettings {
  public:
    static constexpr int kDefaultWidth = 2048;
    static constexpr int kDefaultHeight = 1024;
    static constexpr int kDefaultAspect = 1;

    // The settings in the user's configuration folder.
    SeamSettings();
    // The settings in the INI file at `filePath` (tests).
    explicit SeamSettings(std::string filePath) : filePath_(std::move(filePath)) {}

    const std::string& FilePath() const { return filePath_; }

    // Stored values as they are, or the defaults when absent, not numbers or beyond int.
    int ReadWidth() const;
    int ReadHeight() const;
    int ReadAspect() const;

    // Each writes one value at once; false when the file cannot be written.
    bool WriteWidth(int width);
    bool WriteHeight(int height);
    bool WriteAspect(int aspect);

  private:
    int ReadValue(const char* name, int defaultValue) const;
    bool WriteValue(const char* name, int value);

    std::string filePath_;
};

}  // namespace cubestitch
