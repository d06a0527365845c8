#pragma once
// The suite's Qt file dialogs, open and save, run from a folder and a name given as bytes. Qt
// holds paths as text: it lists no file or folder whose name is not UTF-8 and cannot enter a
// folder whose path is not. So the dialog stands in its folder through a DialogFolder (a link
// named as the folder is shown, where its path is not UTF-8), a name that is not UTF-8 is
// proposed as it is shown (PathForDisplay: `caf\xe9.pan`), and every answer is mapped back onto
// bytes: the folder's and the proposed name's where the answer names them, else its UTF-8. A
// save never goes to a folder or name other than the one the user chose.
// User-interface thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QFileDialog;

namespace platform {

// The message of a save refused because the dialog's answer cannot be mapped to a file.
inline constexpr std::string_view kUnnamedSaveText =
    "The file dialog cannot show the name of this folder or file (it is not UTF-8 text), so it "
    "is not known where to save. Nothing was saved; choose another folder or name.";

// Runs `dialog`, an open dialog, in `folder` (bytes, absolute) with the file `name` proposed
// (may be empty) and gives the bytes of the files chosen, none when it is cancelled. Without a
// folder it starts where Qt would (its last folder, else the current folder), the current
// folder's bytes standing for the text Qt cannot spell. An answer that names no file the user
// could see (a name typed in the private folder above a link) is left out.
std::vector<std::string> RunOpenDialog(QFileDialog& dialog, const std::string& folder = {},
                                       const std::string& name = {});

// Runs `dialog`, a save dialog, as RunOpenDialog does and gives the bytes of the file chosen.
// Nothing when it is cancelled, when the answer lies in the private folder above a link
// (kUnnamedSaveText is shown, captioned `caption`), or when the file chosen exists under bytes
// the dialog could not see (the proposed name that is not UTF-8) and the user does not want it
// replaced: the dialog itself asks only about files it can see.
std::optional<std::string> RunSaveDialog(QFileDialog& dialog, const std::string& folder,
                                         const std::string& name, std::string_view caption);

}  // namespace platform
