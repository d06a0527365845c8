#pragma once
// Which panorama a hotspot's action leaves open, so that the view can describe the panorama
// the engine shows after a link. Any thread; reads only whether files can be opened.

#include <filesystem>
#include <string_view>

// The file that the panorama commands of `actionText` open when each of them loads: a target is
// found relative to `currentDir`, and after a panorama that can be read relative to that
// panorama's folder, as the engine changes the current folder to it. Empty when the text opens
// no panorama or none of its targets can be read (the engine then keeps what it showed).
std::filesystem::path LinkedPanoramaPath(std::string_view actionText,
                                         const std::filesystem::path& currentDir);
