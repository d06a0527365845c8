#pragma once
// The saver's options: the panorama size offered for a face size, the stored values "Suppress"
// and "Aspect" (section "LightWave Pan Plug-In" below the key "Tavrin", in the INI file
// Tavrin/Scenegrab.conf under the user's configuration folder), and the options step of a
// saver open. Host thread only.

#include <optional>
#include <string>

namespace scenegrab {

struct PanoramaSize {
    int width = 0;
    int height = 0;
};

// With `aspect`: height = 2 x max(face width, face height) and width = 2 x height; without:
// width = 4 x face width and height = 2 x face height. Each rounded up to a multiple of 16
// and held to 0 .. the largest multiple of 16 an int holds, so that no face size overflows
// (CheckPanoramaSize refuses a size that large).
PanoramaSize PanoramaSizeForFaces(int faceWidth, int faceHeight, bool aspect);

// The sizes the saver takes, wherever the size comes from (the options dialog, or the offer
// for the host's frames and the stored aspect when no dialog is shown): width 128 to 16392,
// height 64 to 8196, both multiples of 16.
inline constexpr int kMinPanoramaWidth = 128;
inline constexpr int kMaxPanoramaWidth = 16392;
inline constexpr int kMinPanoramaHeight = 64;
inline constexpr int kMaxPanoramaHeight = 8196;

struct PanoramaSizeProblem {
    bool width = false;  // the width is wrong (else the height)
    std::string text;    // the options dialog's message
};

// The first bound `size` breaks, in the dialog's order: the height's range, the width's range
// ("Please enter an integer between %1 and %2."), the width's multiple of 16 ("The width must
// be a multiple of 16"), the height's ("The height must be a multiple of 16"). Nothing when the
// size keeps them all.
std::optional<PanoramaSizeProblem> CheckPanoramaSize(PanoramaSize size);

class SaverProfile {
  public:
    // Stored values, or the defaults when absent or unreadable.
    static int ReadSuppress(int defaultValue);
    static int ReadAspect();
    // A file that cannot be written loses the values silently, as an unwritable registry does.
    static void Write(int suppress, int aspect);
    // The INI file.
    static std::string FilePath();
};

struct SaverOptions {
    PanoramaSize size;
    bool suppress = false;
};

// What the options step starts from.
struct SaverOptionsRequest {
    int faceWidth = 16;
    int faceHeight = 16;
    bool suppress = false;  // the saver's current suppress flag
    bool sequence = false;  // the render holds more than one panorama
};

// Reads the profile, offers the panorama size for the faces, runs the options dialog (when
// dialogs can be shown; otherwise the offer is taken as an OK would take it: checked by
// CheckPanoramaSize, its message shown when it fails) and on OK writes the profile back.
// Nullopt, with nothing written, when the user cancelled or the size was refused.
std::optional<SaverOptions> ShowSaverOptions(const SaverOptionsRequest& request);

}  // namespace scenegrab
