#pragma once
// The one reading of the texts that panoramas and avatars store (hotspot action texts, the
// details' fields, embedded files' names, the names an avatar's action gives): files made on
// the original platform hold Windows-1252 bytes, newer ones UTF-8. Bytes that are well-formed
// UTF-8 read as UTF-8; any other bytes read as Windows-1252, one character a byte, where the
// five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1
// controls of the same number, so that every byte string reads and converts back whole.
// A text the user changed is stored as UTF-8; a text left as it was keeps its stored bytes.
// Qt-free: the programs' dialogs reach it through apps/common/stored_text_qt.h.
// Pure functions; any thread.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/utf8.h"

namespace platform {

// Each byte as its Windows-1252 character, in UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);
// The Windows-1252 bytes of a UTF-8 text; nullopt when `utf8` is not UTF-8 or holds a
// character the code page has no byte for.
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);

// The stored text as UTF-8, by its reading.
std::string StoredTextToUtf8(std::string_view stored);

// What to store for a text stored as `original` and shown as `shown` once the user left
// `edited` in its place (both UTF-8): `original`, byte for byte, when `edited` equals `shown`;
// else `edited`.
std::string StoredTextAfterEdit(std::string_view original, std::string_view shown,
                                std::string_view edited);

// The longest start of `stored` of at most `maxBytes` bytes that ends on a character boundary
// of the whole text's reading: a UTF-8 text loses a sequence the limit would cut; a
// Windows-1252 text is cut at the limit.
std::string_view CutStoredText(std::string_view stored, std::size_t maxBytes);

}  // namespace platform
