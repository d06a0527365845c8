#include "platform/clipboard.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<Clipboard*> installedClipboard{nullptr};

}  // namespace

bool MemoryClipboard::SetData(const std::string& mimeType, std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    const auto content = content_.Lock();
    content->mimeType = mimeType;
    content->bytes = std::move(copy);
    return true;
}

std::optional<std::vector<std::uint8_t>> MemoryClipboard::GetData(const std::string& mimeType) {
    const auto content = content_.Lock();
    if (content->mimeType.empty() || content->mimeType != mimeType)
        return std::nullopt;
    return content->bytes;
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
