#pragma once
// The animation saver: collects each group of six rendered frames as six cube faces (front,
// right, back, left, top, bottom in render order), assembles them into one equirectangular
// panorama, writes it as a 24-bit bitmap to a temporary file beside the output name and has
// Compactor turn that file into the panorama file at the output name; the temporary file is
// removed whatever happens, and a panorama file already there is replaced only by a whole new
// one. A single panorama is shown in the viewer window unless the options suppress it. Host
// thread only; each saver instance has its own SaverData.
//
// Failures never end the host process: the message is shown, the frame or panorama is
// dropped and the callback's result tells the host. A face or panorama over the suite's
// picture ceiling (platform/picture_limits.h) is refused as one that cannot be allocated.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "bitmap/cdib.h"
#include "plugin/scenegrab/output_name.h"

namespace scenegrab {

inline constexpr const char* kRenderingCancelled = "Rendering has been cancelled";
inline constexpr const char* kNotMultipleOfSix =
    "The rendering parameters are not set for a multiple of six frames.  Some panoramas may "
    "not be saved.";
inline constexpr const char* kCameraControllerMissing =
    "The camera controller plug-in does not appear to be running.";

struct SaverData {
    int faceWidth = 16;
    int faceHeight = 16;
    int panoramaWidth = 128;
    int panoramaHeight = 64;
    int faceIndex = -1;                          // the face being received; -1 before the first
    int rowsWritten = 0;                         // rows written into the current face
    int panoramaCounter = 0;                     // the current panorama's number within the render
    std::array<std::unique_ptr<CDIB>, 6> faces;  // 24-bit, in render order
    bool sequence = false;                       // the render holds more than one panorama
    bool suppress = false;                       // the viewer window is not to be shown
    OutputName name;
    std::string outputName;
    bool refusalShown = false;  // a refused write of the current frame was reported
};

// Shows a finished single panorama (the viewer window); it takes its own copy.
using PanoramaPresenter = std::function<void(const CDIB& panorama)>;
// Replaces the presenter (the module's start-up installs the viewer window's); an empty one
// shows nothing. Returns the previous one.
PanoramaPresenter SetPanoramaPresenter(PanoramaPresenter presenter);

// Resets `data`, warns about a frame count that is not a multiple of six and a missing camera
// controller, runs the options and splits the output name. Null when the render may go on,
// else kRenderingCancelled.
const char* SaverOpen(SaverData& data, int frameWidth, int frameHeight, const char* fileName);

// Before each frame: finishes a complete pending cube, then starts the next face. 0 when the
// finished panorama (if any) was made and the new face could be had; 1 otherwise.
int SaverBegin(SaverData& data);

// One scanline, top row first, of `faceWidth` bytes per line. A write before any begin or
// past the face's height is refused with a message (once per frame) and returns 1.
int SaverWrite(SaverData& data, const std::uint8_t* red, const std::uint8_t* green,
               const std::uint8_t* blue);

// After the last frame: finishes a complete pending cube (an incomplete group is dropped) and
// resets `data`. 0 when the finished panorama (if any) was made.
int SaverClose(SaverData& data);

// Assembles, writes, compresses and shows the pending cube when all six faces are in (face
// index 5). True when there was no cube or its panorama file was made. A render whose output
// name was empty or missing writes no file ("Unable to open file for output."), nor does one
// whose bitmap cannot be written beside the output name (the same message); a Compactor that
// is missing, fails or is killed leaves the output name as it was ("Unable to compress
// panorama.").
bool FinishPanorama(SaverData& data);

}  // namespace scenegrab
