#pragma once
// The dialogs' edge of the stored texts' reading (platform/stored_text.h): what a dialog shows
// for a text a panorama or an avatar stores, and what is stored again once the user pressed
// OK: the original bytes when the text was left as shown, else the edited text as UTF-8.
// Any thread.

#include <QString>

#include <string>
#include <string_view>

// The stored text as a dialog shows it: UTF-8 bytes as UTF-8, any others as Windows-1252.
QString StoredTextToQString(std::string_view stored);

// The bytes to store for a text stored as `original` that a dialog showed as `shown` and the
// user left as `edited`: `original` byte for byte when `edited` equals `shown`, else `edited`
// in UTF-8.
std::string StoredTextFromQString(std::string_view original, const QString& shown,
                                  const QString& edited);
