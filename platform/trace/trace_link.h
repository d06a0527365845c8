#pragma once
// The trace link: short diagnostic texts sent to the outside trace monitor
// (platform/trace/trace_monitor_link.h). Fire and forget: a text that cannot be delivered is dropped.

// Sends `text` and its terminating NUL to the monitor, starting the monitor once when none
// listens. Returns the number of bytes the monitor took (length + 1), 0 when the text was dropped
// or `text` is null. Any thread; never throws, never blocks on a busy monitor.
int SendTraceText(const char* text) noexcept;

// Sends the first 254 characters of `text` followed by "\n". Same result and threads as
// SendTraceText.
int TraceLine(const char* text) noexcept;
