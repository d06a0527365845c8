#include "platform/clipboard.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<Clipboard*> installedClipboard{nullptr};

}  // namespace

bool MemoryClipboard::SetData(const std::string& mimeType, std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    std::lock_guard<std::mutex> hold(lock_);
    mimeType_ = mimeType;
    bytes_ = std::move(copy);
    return true;
}

std::optional<std::vector<std::uint8_t>> MemoryClipboard::GetData(const std::string& mimeType) {
    std::lock_guard<std::mutex> hold(lock_);
    if (mimeType_.empty() || mimeType_ != mimeType)
        return std::nullopt;
    return bytes_;
}

Clipboard& GetClipboard() {
    static MemoryClipboard memoryClipboard;
    Clipboard* installed = installedClipboard.load();
    return installed != nullptr ? *installed : memoryClipboard;
}

void SetClipboard(Clipboard* clipboard) {
    installedClipboard.store(clipboard);
}

}  // namespace platform
