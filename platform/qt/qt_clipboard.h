#pragma once
// The desktop's clipboard through Qt. Bitmaps are offered as image/bmp; on paste, a clipboard
// that holds only a plain image (as other programs put it there) gives that image as a bitmap
// file. Needs a QGuiApplication; without one every call fails (false / nothing). User-interface
// thread only.

#include "platform/clipboard.h"

namespace platform {

class QtClipboard final : public Clipboard {
  public:
    bool SetData(const std::string& mimeType, std::span<const std::uint8_t> bytes) override;
    std::optional<std::vector<std::uint8_t>> GetData(const std::string& mimeType) override;
};

}  // namespace platform
