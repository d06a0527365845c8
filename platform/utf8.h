#pragma once
// Well-formed UTF-8 (RFC 3629): no stray continuation byte, no overlong form, no surrogate,
// nothing above U+10FFFF, no sequence cut short. The one check behind the stored texts' reading
// (platform/stored_text.h) and the showing of file names (platform/path_text.h). Pure
// functions; any thread.

#include <cstddef>
#include <string_view>

namespace platform {

// Whether all of `bytes` is well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

// The length of the well-formed UTF-8 sequence that starts at `at` (inside `bytes`), or 0 when
// the bytes there start none.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at);

}  // namespace platform
