#include "plugin/scenegrab/panorama_saver.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <utility>

#include "apps/cube_seam/cube_assembly.h"
#include "platform/picture_limits.h"
#include "platform/safe_save.h"
#include "plugin/scenegrab/compactor_handoff.h"
#include "plugin/scenegrab/controllers.h"
#include "plugin/scenegrab/module_state.h"
#include "plugin/scenegrab/plugin_ui.h"
#include "plugin/scenegrab/saver_options.h"

namespace scenegrab {

namespace {

constexpr const char* kNoMemory = "Unable to allocate memory.";
constexpr const char* kCannotOpenOutput = "Unable to open file for output.";

PanoramaPresenter& Presenter() {
    static PanoramaPresenter presenter;
    return presenter;
}

void ShowWarning(const char* text) {
    ShowPluginMessage(std::string(text) + "\n\n" + kManualLine, 0);
}

void StartNextGroup(SaverData& data) {
    data.faceIndex = -1;
    data.rowsWritten = 0;
    ++data.panoramaCounter;
}

bool AllFacesIn(const SaverData& data) {
    for (const auto& face : data.faces) {
        if (face == nullptr || face->IsEmpty())
            return false;
    }
    return true;
}

// A zeroed 24-bit picture, or null when it is over the suite's picture ceiling or cannot be
// had: the sizes come from the host, so they are checked before anything is allocated.
std::unique_ptr<CDIB> MakePicture(int width, int height) {
    if (!platform::PictureBlockBytes(width, height, 24, platform::kInfoHeaderSize))
        return nullptr;
    std::unique_ptr<CDIB> picture(new (std::nothrow) CDIB(width, height, 24));
    if (picture == nullptr || picture->IsEmpty())
        return nullptr;
    return picture;
}

// Writes `panorama` as a bitmap beside `target` and has Compactor turn it into the panorama
// file at `target`. The bitmap is removed whatever happened, so `target` is either what it was
// or a whole new panorama file. True when Compactor made it; each failure has been shown.
bool WritePanoramaFile(const CDIB& panorama, const std::string& target) {
    const std::string bitmap = platform::TemporaryPathBeside(target, ".bmp");
    bool compressed = false;
    if (panorama.Save(bitmap) == 0)
        ShowMessage(kCannotOpenOutput);
    else
        compressed = RunCompactor(bitmap, target) == CompactorResult::Compressed;
    std::error_code ignored;
    std::filesystem::remove(bitmap, ignored);
    return compressed;
}

// Refuses a write, telling the user once per frame.
int RefuseWrite(SaverData& data, const char* text) {
    if (!data.refusalShown) {
        data.refusalShown = true;
        ShowMessage(text);
    }
    return 1;
}

}  // namespace

PanoramaPresenter SetPanoramaPresenter(PanoramaPresenter presenter) {
    return std::exchange(Presenter(), std::move(presenter));
}

const char* SaverOpen(SaverData& data, int frameWidth, int frameHeight, const char* fileName) {
    data = SaverData{};
    const std::optional<FrameRange> range = SceneFrameRange();
    // In 64 bits: the host's frame numbers may lie at the ends of int.
    const std::int64_t frames = range ? std::int64_t{range->last} - range->first + 1 : 0;
    if (frames % 6 != 0)
        ShowWarning(kNotMultipleOfSix);
    if (!Module().cameraControllerActive)
        ShowWarning(kCameraControllerMissing);

    data.faceWidth = frameWidth;
    data.faceHeight = frameHeight;
    data.sequence = frames / 6 > 1;
    const std::optional<SaverOptions> options =
        ShowSaverOptions({frameWidth, frameHeight, data.suppress, data.sequence});
    const std::string name = fileName != nullptr ? fileName : "";
    data.name = SplitOutputName(name);
    data.outputName = name;
    if (!options)
        return kRenderingCancelled;
    data.panoramaWidth = options->size.width;
    data.panoramaHeight = options->size.height;
    data.suppress = options->suppress;
    Module().fovWarned = false;
    return nullptr;
}

int SaverBegin(SaverData& data) {
    bool made = true;
    if (data.faceIndex == 5) {
        made = FinishPanorama(data);
        StartNextGroup(data);
    } else if (data.faceIndex > 5) {
        ShowMessage("Invalid frame number.");
        StartNextGroup(data);
    }
    ++data.faceIndex;
    data.rowsWritten = 0;
    data.refusalShown = false;
    auto& slot = data.faces[static_cast<std::size_t>(data.faceIndex)];
    slot = MakePicture(data.faceWidth, data.faceHeight);
    if (slot == nullptr) {
        ShowMessage(kNoMemory);
        return 1;
    }
    return made ? 0 : 1;
}

int SaverWrite(SaverData& data, const std::uint8_t* red, const std::uint8_t* green,
               const std::uint8_t* blue) {
    if (data.faceIndex < 0 || data.faceIndex > 5)
        return RefuseWrite(data, "Copying to invalid frame.");
    CDIB* face = data.faces[static_cast<std::size_t>(data.faceIndex)].get();
    if (face == nullptr)
        return 1;  // the face could not be had; its begin has said so
    if (data.rowsWritten >= data.faceHeight || red == nullptr || green == nullptr ||
        blue == nullptr)
        return RefuseWrite(data, "Invalid buffer request.");
    const std::size_t stride = face->GetStride();
    const auto storedRow = static_cast<std::size_t>(data.faceHeight - 1 - data.rowsWritten);
    std::uint8_t* pixel = face->GetBits().data() + storedRow * stride;
    for (int i = 0; i < data.faceWidth; ++i, pixel += 3) {
        pixel[0] = blue[i];
        pixel[1] = green[i];
        pixel[2] = red[i];
    }
    ++data.rowsWritten;
    return 0;
}

int SaverClose(SaverData& data) {
    const bool made = FinishPanorama(data);
    data = SaverData{};
    return made ? 0 : 1;
}

bool FinishPanorama(SaverData& data) {
    if (data.faceIndex != 5)
        return true;
    data.faceIndex = 6;
    if (!AllFacesIn(data)) {
        data.faces = {};
        return false;  // a face could not be had; the panorama is dropped
    }
    std::unique_ptr<CDIB> panorama = MakePicture(data.panoramaWidth, data.panoramaHeight);
    if (panorama == nullptr) {
        data.faces = {};
        ShowMessage(kNoMemory);
        return false;
    }
    data.outputName = MakeOutputName(data.name, data.sequence, data.panoramaCounter);
    const auto& f = data.faces;
    AssembleCubePanorama(*f[3], *f[0], *f[1], *f[2], *f[4], *f[5], *panorama);
    data.faces = {};

    // A render without an output name saves nothing: a numbered name alone ("000") would
    // land in whatever folder the host happens to be in.
    const bool named = !data.name.baseName.empty() || !data.name.extension.empty();
    bool made = false;
    if (!named)
        ShowMessage(kCannotOpenOutput);
    else
        made = WritePanoramaFile(*panorama, data.outputName);

    if (!data.sequence && !data.suppress && Presenter())
        Presenter()(*panorama);
    return made;
}

}  // namespace scenegrab
