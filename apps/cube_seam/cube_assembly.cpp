#include "apps/cube_seam/cube_assembly.h"

#include <vector>

#include "apps/cube_seam/cube_projection.h"
#include "apps/cube_seam/face_sampler.h"

#if defined(__x86_64__)
#include "apps/cube_seam/face_sampler_avx2.h"
#endif

namespace {

constexpr int kBlock = 16;
// A corner closer than this (in face pixels) to an edge of its face sends the block down the
// per-pixel path, where the bilinear sample handles the edge.
constexpr double kWarpMargin = 2.0;

bool WellInside(const FacePosition& corner, const FaceSize& size) {
    return corner.u > kWarpMargin && corner.u < size.width - kWarpMargin &&
           corner.v > kWarpMargin && corner.v < size.height - kWarpMargin;
}

}  // namespace

bool IsSeamableFace(const CDIB& face) {
    return !face.IsEmpty() && face.GetBitCount() == 24 && face.GetWidth() > 0 &&
           face.GetHeight() > 0;
}

AssemblyOutcome FillCubePanorama(const CubeFaceSet& faces, CDIB& panorama,
                                 const AssemblyHooks& hooks) {
    AssemblyOutcome outcome;
    const int width = panorama.GetWidth();
    const int height = panorama.GetHeight();
    if (panorama.IsEmpty() || panorama.GetBitCount() != 24 || width <= 0 || height <= 0 ||
        width % kBlock != 0 || height % kBlock != 0)
        return outcome;
    std::array<FaceSize, kCubeFaceCount> sizes{};
    std::vector<FaceSampler> samplers;
    samplers.reserve(kCubeFaceCount);
    for (int k = 0; k < kCubeFaceCount; ++k) {
        if (faces[k] == nullptr || !IsSeamableFace(*faces[k]))
            return outcome;
        sizes[k] = {faces[k]->GetWidth(), faces[k]->GetHeight()};
        samplers.emplace_back(*faces[k]);
    }
    const CubeProjection projection(width, height, sizes);
    // Rows of the per-pixel path are written in place: picture row y is memory row
    // height - 1 - y.
    std::uint8_t* const bits = panorama.GetBits().data();
    const std::size_t stride = panorama.GetStride();
    std::array<FaceSampler::Footprint, kBlock * kBlock> footprints;
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
#endif

    // Corners of the block row above and below, one per block column edge (x = 0..width).
    const int columns = width / kBlock;
    std::vector<FacePosition> upper(static_cast<std::size_t>(columns) + 1);
    std::vector<FacePosition> lower(upper.size());
    for (int i = 0; i <= columns; ++i)
        lower[static_cast<std::size_t>(i)] = projection.PanoramaPixelToFace(i * kBlock, 0);

    for (int y = 0; y <= height - kBlock; y += kBlock) {
        if (hooks.rowStarted)
            hooks.rowStarted(100 * y / height);
        upper.swap(lower);
        for (int i = 0; i <= columns; ++i)
            lower[static_cast<std::size_t>(i)] =
                projection.PanoramaPixelToFace(i * kBlock, y + kBlock);
        for (int i = 0; i < columns; ++i) {
            if (hooks.stop && hooks.stop()) {
                outcome.status = AssemblyStatus::Cancelled;
                return outcome;
            }
            const int x = i * kBlock;
            const FacePosition& a = upper[static_cast<std::size_t>(i)];
            const FacePosition& b = upper[static_cast<std::size_t>(i) + 1];
            const FacePosition& c = lower[static_cast<std::size_t>(i)];
            const FacePosition& d = lower[static_cast<std::size_t>(i) + 1];
            const FaceSize& size = projection.SizeOf(a.face);
            if (a.face == b.face && a.face == c.face && a.face == d.face && WellInside(a, size) &&
                WellInside(b, size) && WellInside(c, size) && WellInside(d, size)) {
                panorama.WarpBlock(x, y, *faces[static_cast<int>(a.face)], a.u, a.v, b.u, b.v, c.u,
                                   c.v, d.u, d.v);
            } else {
                // All footprints of the block first, so that the face rows they read are on
                // their way while the rest are projected and located.
                for (int row = 0; row < kBlock; ++row) {
                    std::array<FacePosition, kBlock> positions;
                    projection.PanoramaRowToFace(x, y + row, positions);
                    for (int k = 0; k < kBlock; ++k) {
                        const FacePosition& p = positions[static_cast<std::size_t>(k)];
                        footprints[static_cast<std::size_t>(row * kBlock + k)] =
                            samplers[static_cast<std::size_t>(p.face)].Locate(p.u, p.v);
                    }
                }
                for (int row = 0; row < kBlock; ++row) {
                    std::uint8_t* out = bits +
                                        static_cast<std::size_t>(height - 1 - y - row) * stride +
                                        3 * static_cast<std::size_t>(x);
                    const std::size_t first = static_cast<std::size_t>(row * kBlock);
#if defined(__x86_64__)
                    if (avx2) {
                        SampleFootprintsAvx2(std::span(footprints).subspan(first, kBlock), out);
                        continue;
                    }
#endif
                    for (std::size_t at = first; at < first + kBlock; ++at, out += 3)
                        FaceSampler::SampleInto(footprints[at], out);
                }
            }
            outcome.pixelsWritten = true;
        }
    }
    outcome.status = AssemblyStatus::Done;
    return outcome;
}

int AssembleCubePanorama(const CDIB& left, const CDIB& front, const CDIB& right, const CDIB& back,
                         const CDIB& top, const CDIB& bottom, CDIB& panorama) {
    const CubeFaceSet faces = {&left, &front, &right, &back, &top, &bottom};
    return FillCubePanorama(faces, panorama).status == AssemblyStatus::Done ? 1 : 0;
}
