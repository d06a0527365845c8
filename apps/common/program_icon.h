#pragma once
// The suite's program icons: drawn for the suite (data/icons/*.svg, installed in the hicolor
// theme under these names) and built into every program as 128-pixel pictures, so windows and
// About boxes show them wherever the programs run. User-interface thread; needs a
// QGuiApplication.

#include <QIcon>

#include <string_view>

inline constexpr std::string_view kRoamerIcon = "halvex-roamer";
inline constexpr std::string_view kCompactorIcon = "halvex-compactor";
// Cubestitch's frame and its viewer window.
inline constexpr std::string_view kCubestitchIcon = "halvex-cubestitch";
inline constexpr std::string_view kLinksmithIcon = "halvex-linksmith";
inline constexpr std::string_view kMimeoIcon = "halvex-mimeo";
// The Scenegrab plug-in and its viewer window.
inline constexpr std::string_view kScenegrabIcon = "halvex-scenegrab";

// The icon named `name` (one of the names above); a null icon for any other name.
QIcon ProgramIcon(std::string_view name);
