#pragma once
// Qt's file dialogs and paths that are not UTF-8. The dialogs hold names as text: they list no
// file or folder whose name is not UTF-8, and a path given to them shows such bytes as U+FFFD,
// which comes back in the answer instead of the bytes. A save dialog started at such a place
// (the open file, the current folder) has its answer mapped back onto the bytes it started from
// where that is unambiguous; anything else is refused, so a save never goes to a folder or name
// other than the one the user chose.
// User-interface thread.

#include <QString>

#include <optional>
#include <span>
#include <string>
#include <string_view>

class QFileDialog;

namespace platform {

// The message of a save refused because the dialog's answer cannot be mapped to a file.
inline constexpr std::string_view kUnnamedSaveText =
    "The file dialog cannot show the name of this folder or file (it is not UTF-8 text), so it "
    "is not known where to save. Nothing was saved; choose another folder or name.";

// `path` as a file dialog shows it: UTF-8 decoded, each byte that is not UTF-8 as U+FFFD.
QString DialogPath(std::string_view path);

// The bytes of the file named by `answer`, an absolute path a dialog started from `starts` gave
// back. Where `answer` is the dialog form (DialogPath) of a start that is not UTF-8, or lies
// inside one, that start's bytes stand for it (the longest such start); the rest of the answer
// is its UTF-8. Nothing when the answer cannot name one file: a U+FFFD after the start, a start
// whose dialog form also spells an existing entry, or a U+FFFD that no start explains, unless
// the dialog could have listed it (the file, or else the folder holding the new name, exists as
// spelled).
std::optional<std::string> PathOfDialogAnswer(const QString& answer,
                                              std::span<const std::string> starts);

// Runs `dialog`, a save dialog, at the file `name` in `folder` (bytes; `name` may be empty) and
// gives the bytes of the file chosen. The dialog shows the folder itself when it can, else the
// nearest folder above it that it can, with the rest of the way put before the name
// ("Tour\ufffd/caf\ufffd.pan"). Nothing when the dialog is cancelled, when the answer cannot
// be mapped (PathOfDialogAnswer; kUnnamedSaveText is shown, captioned `caption`), or when the
// file chosen exists under bytes the dialog could not see and the user does not want it
// replaced (the dialog asked only about the name as it spelled it).
std::optional<std::string> RunSaveDialog(QFileDialog& dialog, const std::string& folder,
                                         const std::string& name, std::string_view caption);

}  // namespace platform
