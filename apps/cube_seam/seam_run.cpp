#include "apps/cube_seam/seam_run.h"

#include <future>
#include <optional>
#include <vector>

#include "platform/message_box.h"
#include "platform/thread.h"

namespace {

// "W by H is ..." and the like: the two numbers then the rest of the text.
std::string SizeText(int width, int height, const char* rest) {
    return std::to_string(width) + " by " + std::to_string(height) + rest;
}

void Tell(const SeamRequest& request, const std::string& text) {
    platform::MessageBox(platform::kNoWindow, text, request.caption,
                         platform::MB_OK | platform::MB_ICONWARNING);
}

// The faces as the block loop reads them: 24-bit faces as they are, others converted into
// `converted`. Nothing (after telling the user) when a face cannot be used.
std::optional<CubeFaceSet> FacesAt24Bits(const SeamRequest& request,
                                         std::vector<CDIB>& converted) {
    converted.reserve(kCubeFaceCount);
    CubeFaceSet faces{};
    for (CubeFace face : kCubeFaces) {
        const int k = static_cast<int>(face);
        const CDIB* source = request.faces[k];
        if (source != nullptr && IsSeamableFace(*source)) {
            faces[k] = source;
            continue;
        }
        if (source == nullptr || source->IsEmpty() || source->GetWidth() <= 0 ||
            source->GetHeight() <= 0) {
            Tell(request, std::string("The ") + CubeFaceName(face) + " face holds no picture.");
            return std::nullopt;
        }
        CDIB copy;
        if (copy.CopyFrom(*source) == 0 || copy.ChangeBitDepth(24) == 0 || !IsSeamableFace(copy)) {
            Tell(request,
                 std::string("The ") + CubeFaceName(face) + " face cannot be converted to 24 bits.");
            return std::nullopt;
        }
        converted.push_back(std::move(copy));
        faces[k] = &converted.back();
    }
    return faces;
}

}  // namespace

SeamResult RunSeam(const SeamRequest& request, CDIB& panorama, SeamProgress& progress) {
    const int width = request.size.width;
    const int height = request.size.height;
    if (!IsValidSeamDimension(width) || !IsValidSeamDimension(height)) {
        Tell(request, SizeText(width, height, " is not a size a panorama can be seamed at."));
        return {};
    }
    if (static_cast<long long>(width) * height > kLargePanoramaPixels &&
        platform::MessageBox(
            platform::kNoWindow,
            SizeText(width, height,
                     " is a very large panorama\nand this program may become unresponsive."),
            request.caption, platform::MB_OKCANCEL | platform::MB_ICONWARNING) != platform::IDOK)
        return {};

    std::vector<CDIB> converted;
    const std::optional<CubeFaceSet> faces = FacesAt24Bits(request, converted);
    if (!faces)
        return {};

    if (panorama.IsEmpty() || panorama.GetBitCount() != 24 || panorama.GetWidth() != width ||
        panorama.GetHeight() != height) {
        if (panorama.Create(width, height, 24) == 0) {
            Tell(request, "Error Creating Bitmap");
            return {};
        }
    }

    progress.Begin("Seaming " + std::to_string(width) + "x" + std::to_string(height) +
                       " sized image",
                   !request.batch);
    // The worker owns the panorama while it runs; it comes back through the future.
    progress.SetCancelled(false);
    std::promise<std::pair<CDIB, AssemblyOutcome>> finished;
    std::future<std::pair<CDIB, AssemblyOutcome>> result = finished.get_future();
    platform::Thread worker;
    const bool started = worker.Start([&, output = std::move(panorama)]() mutable {
        AssemblyHooks hooks;
        hooks.rowStarted = [&progress](int position) { progress.PostPosition(position); };
        hooks.stop = [&progress] { return progress.Cancelled(); };
        const AssemblyOutcome outcome = FillCubePanorama(*faces, output, hooks);
        finished.set_value({std::move(output), outcome});
        progress.PostFinished();
    });
    if (!started) {
        Tell(request, "Error Creating Bitmap");
        return {};
    }
    if (!progress.Run())
        progress.SetCancelled(true);
    worker.Join();
    auto [output, outcome] = result.get();
    panorama = std::move(output);
    return {outcome.status == AssemblyStatus::Done, outcome.pixelsWritten};
}
