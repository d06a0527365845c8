#pragma once
// The clipboard seam: programs and the bitmap class put data on the clipboard and take it off
// through `GetClipboard()`. The windowing backend installs the desktop's clipboard
// (platform/qt/qt_clipboard.h); without one, a process-wide in-memory clipboard stands in, so
// tests and batch runs copy and paste within the process.
//
// Threads: the user-interface thread, as the desktop's clipboard requires. The in-memory
// clipboard is also safe to use from several threads.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/guarded.h"

namespace platform {

// Bitmaps travel as whole bitmap files under this type.
inline constexpr const char* kBitmapMimeType = "image/bmp";

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Replaces the whole content of the clipboard by `bytes` under `mimeType` (the clipboard
    // keeps its own copy). False, with the clipboard unchanged, when it cannot be written.
    virtual bool SetData(const std::string& mimeType, std::span<const std::uint8_t> bytes) = 0;
    // A copy of the content under `mimeType`; nothing when the clipboard holds no such data.
    virtual std::optional<std::vector<std::uint8_t>> GetData(const std::string& mimeType) = 0;
};

// The in-memory clipboard: one content, one type.
class MemoryClipboard final : public Clipboard {
  public:
    bool SetData(const std::string& mimeType, std::span<const std::uint8_t> bytes) override;
    std::optional<std::vector<std::uint8_t>> GetData(const std::string& mimeType) override;

  private:
    struct Content {
        std::string mimeType;
        std::vector<std::uint8_t> bytes;
    };
    Guarded<Content> content_;
};

// The process's clipboard: the installed one, else the process-wide in-memory clipboard.
Clipboard& GetClipboard();
// Installs `clipboard` (not owned; it must outlive its installation) as the process's
// clipboard; nullptr goes back to the in-memory one. Call before other threads use it.
void SetClipboard(Clipboard* clipboard);

}  // namespace platform
