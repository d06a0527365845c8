#include "platform/trace/trace_link.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/platform/trace/stand_in_trace_monitor.h"

namespace {

using namespace std::string_literals;

TEST(TraceLink, MonitorGetsEachTextWithItsNulAndByteCount) {
    const StandInTraceMonitor monitor;
    const std::string longText(300, 'x');
    const struct {
        const char* name;
        int (*send)(const char*) noexcept;
        const char* text;
        std::string received;
    } cases[] = {
        {"lock time-out", SendTraceText, "\a*", "\a*\0"s},
        {"empty line", TraceLine, "", "\n\0"s},
        {"line", TraceLine, "Premature end of JPEG file", "Premature end of JPEG file\n\0"s},
        {"long line cut to 254", TraceLine, longText.c_str(), std::string(254, 'x') + "\n\0"s},
        {"254 characters kept whole", TraceLine, longText.c_str() + 46,
         std::string(254, 'x') + "\n\0"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.send(c.text), static_cast<int>(c.received.size())) << c.name;
        EXPECT_EQ(monitor.Receive(), c.received) << c.name;
    }
}

TEST(TraceLink, NullTextSendsNothing) {
    const StandInTraceMonitor monitor;
    EXPECT_EQ(SendTraceText(nullptr), 0);
    EXPECT_EQ(monitor.Receive(), std::nullopt);
    EXPECT_EQ(TraceLine(nullptr), 2);
    EXPECT_EQ(monitor.Receive(), "\n\0"s);
}

}  // namespace
