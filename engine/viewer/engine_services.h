#pragma once
// The engine's trace texts go to the trace link.

#include "platform/trace/trace_link.h"

inline void TraceEngineText(const char* text) {
    SendTraceText(text);
}
