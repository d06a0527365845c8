#pragma once
// Paths between the suite and Qt. The suite keeps a path as the bytes the file system knows
// (platform/path_text.h); Qt holds names as UTF-16 text, which cannot carry bytes that are not
// UTF-8. So a path becomes a QString only to be shown, and paths that arrive from Qt (dropped
// addresses) are taken from their encoded bytes, never from Qt's decoded text.
// User-interface thread (QMimeData); the conversions themselves any thread.

#include <QString>

#include <string>
#include <string_view>
#include <vector>

class QMimeData;
class QUrl;

namespace platform {

// `path` as text to show (PathForDisplay): bytes that are not UTF-8 read "\xNN".
QString PathText(std::string_view path);

// The bytes of the local file a "file:" address names: its path with every percent-encoded
// byte decoded, so "file:///tmp/caf%E9.pan" gives "/tmp/caf\xe9.pan"; a host other than
// "localhost" is kept in front as "//host". Empty for an address that names no local file.
std::string LocalPathOfUrl(const QUrl& url);

// The local files among dropped data (its "file:" addresses, LocalPathOfUrl), in the order
// given; other addresses are left out. No data gives no files.
std::vector<std::string> DroppedLocalPaths(const QMimeData* data);

}  // namespace platform
