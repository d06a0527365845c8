#pragma once
// A folder a Qt file dialog can stand in whatever the bytes of its path. Qt holds paths as text
// and cannot enter a folder whose path is not UTF-8 ("Tour\xe9" from an old archive). For such
// a folder this makes a private folder of the process under the temporary folder
// ("halvex-dialog-<pid>-XXXXXX", mode 0700) holding one symbolic link to it, named by the
// folder's last part as it is shown (PathForDisplay: the text `Tour\xe9`); the dialog stands in
// the link and lists the folder through it (its UTF-8 names; Qt shows no others). Its answers
// are mapped back onto the folder's bytes. A folder whose path is UTF-8 is given to the dialog
// as it is. User-interface thread.

#include <QString>

#include <optional>
#include <string>

namespace platform {

class DialogFolder {
  public:
    // The stand-in for `folder`, an absolute path (bytes). Where a link is needed, the private
    // folders that ended processes left behind are removed first (this user's only). When no
    // link can be made, Shown() is empty and answers are taken as their UTF-8 bytes.
    explicit DialogFolder(std::string folder);
    // Removes the private folder with everything in it; the link is removed, never followed.
    ~DialogFolder();
    DialogFolder(const DialogFolder&) = delete;
    DialogFolder& operator=(const DialogFolder&) = delete;

    // The folder (bytes, without a trailing "/").
    const std::string& Folder() const { return folder_; }
    // The path to give the dialog: the folder itself or the link to it; empty when none.
    const QString& Shown() const { return shown_; }

    // The bytes of the path that `answer`, an absolute path the dialog gave, names: inside the
    // link, the folder's bytes and the rest of the answer's UTF-8; elsewhere the answer's UTF-8
    // (after "." and ".." are resolved as text, as the dialog shows them). Nothing for a
    // relative answer, or one inside the private folder but not through the link (a name typed
    // one level up): nothing is ever written there.
    std::optional<std::string> PathOf(const QString& answer) const;

    // Whether `path` lies in the private folder (the link included), which is gone once this
    // object is: for the places a dialog remembers.
    bool IsPrivate(const QString& path) const;

  private:
    std::string folder_;
    std::string private_;  // the private folder; empty when none was made
    QString shown_;
    QString privateShown_;
};

}  // namespace platform
