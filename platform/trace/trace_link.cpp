#include "platform/trace/trace_link.h"

#include <cstring>
#include <span>

#include "platform/trace/trace_monitor_link.h"

namespace {

constexpr std::size_t kLineBufferSize = 256;
constexpr std::size_t kLongestLine = kLineBufferSize - 2;  // room for "\n" and the NUL

}  // namespace

int SendTraceText(const char* text) noexcept {
    if (text == nullptr)
        return 0;
    return platform::SendToTraceMonitor(std::span<const char>(text, std::strlen(text) + 1));
}

int TraceLine(const char* text) noexcept {
    char line[kLineBufferSize];
    const std::size_t length = text == nullptr ? 0 : strnlen(text, kLongestLine);
    if (length > 0)
        std::memcpy(line, text, length);
    line[length] = '\n';
    line[length + 1] = '\0';
    return SendTraceText(line);
}
