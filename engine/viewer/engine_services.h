#pragma once
// What the engine takes from the image decoders and the trace link, in the form it keeps:
// the decoded panorama as one owned block (information header, colours, bottom-up rows).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Decodes an image record (a bitmap file, a bare information header with its pixels, or a
// JFIF stream) at the display's depth. An empty block with `error` set on failure. Any
// thread.
std::vector<std::uint8_t> DecodeImageRecord(const std::uint8_t* record, std::size_t size,
                                            std::string* error);

// Sends a text to the trace monitor; dropped when none listens. Any thread.
void TraceEngineText(const char* text);
