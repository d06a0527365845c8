#pragma once
// Roamer's settings, kept in its own INI file (sections "RESTORE", "BarState" and
// "Recent File List"). Every value is checked when read: a missing, non-numeric or out-of-range
// value gives its default, so a damaged file never reaches the program. UI thread only; each
// write goes to the file when the profile is synced or destroyed.

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <string>
#include <vector>

#include "apps/roamer/window_placement.h"

class RoamerProfile {
  public:
    static constexpr int kDefaultAntialias = 8;
    static constexpr int kDefaultFreedoms = 11;
    static constexpr int kRecentFileCount = 4;

    // The profile in the INI file at `path`; the file and its folder are made on first write.
    explicit RoamerProfile(const QString& path);

    // Roamer.ini in the user's configuration folder.
    static QString DefaultPath();

    // "Aliasing": 0, 1 or 8; anything else gives 8.
    int Antialias() const;
    void SetAntialias(int level);

    // "Freedoms": 0 to 31; anything else gives 11 (pan, tilt and zoom).
    int Freedoms() const;
    void SetFreedoms(int freedoms);

    // "left", "top", "right", "bottom": each 0 to 10000 with left below right and top below
    // bottom; otherwise all four are 0 (no placement, the window is centred).
    StoredPlacement Placement() const;
    void SetPlacement(const StoredPlacement& placement, int showCommand);

    // The tool bar's and status bar's state as the main window saved it; empty when none.
    QByteArray BarState() const;
    bool StatusBarVisible() const;
    void SetBarState(const QByteArray& state, bool statusBarVisible);

    // "File1" to "File4" of "Recent File List", most recent first, as path bytes. A UTF-8 path
    // is stored as text; any other as a byte value, which gives back the same bytes.
    std::vector<std::string> RecentFiles() const;
    void SetRecentFiles(const std::vector<std::string>& paths);

    // Writes pending changes to the file; false when it cannot be written.
    bool Sync();

  private:
    int ReadInt(const char* key, int fallback, int low, int high) const;

    mutable QSettings settings_;
};
