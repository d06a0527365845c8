// The face projection and the block loop: which face every pixel shows, accuracy against an
// exact per-pixel projection, faces of different sizes, refusals, and the fast paths giving
// the same pixels as the plain bitmap operations.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "apps/cube_seam/cube_assembly.h"
#include "apps/cube_seam/cube_projection.h"
#include "tests/apps/cube_seam/face_sets.h"

namespace {

using seam_test::ExactProjection;
using seam_test::kFaceColours;
using seam_test::PixelValue;

std::array<FaceSize, kCubeFaceCount> SameSizes(int width, int height) {
    std::array<FaceSize, kCubeFaceCount> sizes{};
    sizes.fill({width, height});
    return sizes;
}

TEST(CubeProjection, KeyPositions) {
    const CubeProjection projection(2048, 1024, SameSizes(512, 512));
    struct Case {
        const char* name;
        int x, y;
        CubeFace face;
        double u, v;
        double tolerance;
    };
    const Case kCases[] = {
        {"centre is the centre of Front", 1024, 512, CubeFace::Front, 255.5, 255.5, 1e-9},
        {"left quarter is Left's middle column", 512, 512, CubeFace::Left, 255.5, 255.5, 0.5},
        {"right quarter is Right's middle column", 1536, 512, CubeFace::Right, 255.5, 255.5, 0.5},
        {"column 0 looks straight back", 0, 512, CubeFace::Back, 255.5, 255.5, 0.5},
        {"row 0 looks up", 1024, 0, CubeFace::Top, 255.5, 255.5, 1.0},
        {"last row looks down", 1024, 1023, CubeFace::Bottom, 255.5, 255.5, 1.0},
    };
    for (const Case& c : kCases) {
        const FacePosition p = projection.PanoramaPixelToFace(c.x, c.y);
        EXPECT_EQ(p.face, c.face) << c.name;
        EXPECT_NEAR(p.u, c.u, c.tolerance) << c.name;
        EXPECT_NEAR(p.v, c.v, c.tolerance) << c.name;
    }
    // The half-pixel tilt: a fraction of a row below the centre on Left, above it on Right.
    EXPECT_GT(projection.PanoramaPixelToFace(512, 512).v, 255.5);
    EXPECT_LT(projection.PanoramaPixelToFace(1536, 512).v, 255.5);
    EXPECT_DOUBLE_EQ(projection.PanoramaPixelToFace(512, 512).u, 255.5);
}

// A row of sixteen (four at a time where the processor has AVX2) holds exactly, to the bit,
// the positions of the pixels one by one.
TEST(CubeProjection, RowsAreThePixelsExactly) {
    const std::array<FaceSize, kCubeFaceCount> mixed = {
        {{97, 61}, {128, 128}, {5, 5}, {200, 150}, {64, 300}, {1, 1}}};
    struct Case {
        int width, height, rowStep;
        std::array<FaceSize, kCubeFaceCount> sizes;
    };
    const Case kCases[] = {{4096, 2048, 37, SameSizes(1024, 1024)},
                           {640, 320, 1, mixed},
                           {32, 16, 1, SameSizes(7, 9)}};
    for (const Case& c : kCases) {
        const CubeProjection projection(c.width, c.height, c.sizes);
        for (int y = 0; y <= c.height; y += c.rowStep) {
            for (int x : {0, 5, c.width / 2 - 8, c.width - 16}) {
                std::array<FacePosition, 16> row;
                projection.PanoramaRowToFace(x, y, row);
                for (int i = 0; i < 16; ++i) {
                    const FacePosition one = projection.PanoramaPixelToFace(x + i, y);
                    const FacePosition& got = row[static_cast<std::size_t>(i)];
                    ASSERT_TRUE(got.face == one.face && std::memcmp(&got.u, &one.u, 8) == 0 &&
                                std::memcmp(&got.v, &one.v, 8) == 0)
                        << c.width << " x " << c.height << " pixel " << x + i << ", " << y;
                }
            }
        }
    }
}

TEST(CubeAssembly, EveryPixelShowsTheFaceItLooksAt) {
    const seam_test::Faces faces = seam_test::UniformFaces(512, 512);
    CDIB panorama(2048, 1024, 24);
    const AssemblyOutcome outcome = FillCubePanorama(faces.Set(), panorama);
    ASSERT_EQ(outcome.status, AssemblyStatus::Done);
    EXPECT_TRUE(outcome.pixelsWritten);

    // The per-pixel path rounds each weighted neighbour, so a uniform 255 may come out 254.
    const auto faceShown = [](std::uint32_t value) {
        for (int k = 0; k < kCubeFaceCount; ++k) {
            bool same = true;
            for (int ch = 0; ch < 3; ++ch)
                same = same && std::abs(static_cast<int>((value >> (8 * ch)) & 255) -
                                        static_cast<int>((kFaceColours[k] >> (8 * ch)) & 255)) <= 1;
            if (same)
                return k;
        }
        return -1;
    };
    int onEdges = 0;
    for (int y = 0; y < 1024; ++y) {
        for (int x = 0; x < 2048; ++x) {
            const int shown = faceShown(PixelValue(panorama, x, y));
            const CubeFace expected = ExactProjection(faces.Set(), 2048, 1024, x, y).face;
            if (shown == static_cast<int>(expected))
                continue;
            // Only a pixel whose direction lies on a cube edge may show the face beside it.
            bool besideAnEdge = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const CubeFace next = ExactProjection(faces.Set(), 2048, 1024,
                                                          std::clamp(x + dx, 0, 2047),
                                                          std::clamp(y + dy, 0, 1023))
                                              .face;
                    besideAnEdge = besideAnEdge || shown == static_cast<int>(next);
                }
            EXPECT_TRUE(besideAnEdge) << "pixel " << x << ", " << y;
            ++onEdges;
        }
    }
    EXPECT_LE(onEdges, 64);
    const struct {
        int x, y;
        CubeFace face;
    } kKeyPoints[] = {{1024, 512, CubeFace::Front}, {512, 512, CubeFace::Left},
                      {0, 512, CubeFace::Back},     {1536, 512, CubeFace::Right},
                      {700, 0, CubeFace::Top},      {1900, 1023, CubeFace::Bottom}};
    for (const auto& point : kKeyPoints) {
        EXPECT_EQ(faceShown(PixelValue(panorama, point.x, point.y)), static_cast<int>(point.face))
            << point.x << ", " << point.y;
    }
}

TEST(CubeAssembly, CloseToTheExactProjection) {
    struct Case {
        const char* name;
        std::array<FaceSize, kCubeFaceCount> sizes;
        int width, height;
    };
    const Case kCases[] = {
        {"equal faces", SameSizes(512, 512), 2048, 1024},
        {"faces of different sizes",
         {{{400, 380}, {512, 512}, {640, 480}, {448, 600}, {500, 500}, {433, 517}}},
         2048,
         1024},
        {"small output", SameSizes(64, 64), 32, 16},
    };
    for (const Case& c : kCases) {
        const seam_test::Faces faces = seam_test::TexturedFaces(c.sizes);
        CDIB panorama(c.width, c.height, 24);
        ASSERT_EQ(FillCubePanorama(faces.Set(), panorama).status, AssemblyStatus::Done) << c.name;
        int close = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const seam_test::ExactSample exact =
                    ExactProjection(faces.Set(), c.width, c.height, x, y);
                const std::uint32_t got = PixelValue(panorama, x, y);
                bool within = true;
                for (int ch = 0; ch < 3; ++ch)
                    within = within && std::fabs(((got >> (8 * ch)) & 255) - exact.bgr[ch]) <= 2.0;
                close += within ? 1 : 0;
            }
        }
        EXPECT_GE(close, 0.99 * c.width * c.height) << c.name;
    }
}

// The loop as plainly written: corners and pixels projected one by one, the bitmap's own
// WarpBlock and Sample.
CDIB PlainAssembly(const CubeFaceSet& faces, int width, int height) {
    std::array<FaceSize, kCubeFaceCount> sizes{};
    for (int k = 0; k < kCubeFaceCount; ++k)
        sizes[k] = {faces[k]->GetWidth(), faces[k]->GetHeight()};
    const CubeProjection projection(width, height, sizes);
    CDIB panorama(width, height, 24);
    for (int y = 0; y + 16 <= height; y += 16) {
        for (int x = 0; x + 16 <= width; x += 16) {
            const FacePosition a = projection.PanoramaPixelToFace(x, y);
            const FacePosition b = projection.PanoramaPixelToFace(x + 16, y);
            const FacePosition c = projection.PanoramaPixelToFace(x, y + 16);
            const FacePosition d = projection.PanoramaPixelToFace(x + 16, y + 16);
            const FaceSize& s = sizes[static_cast<int>(a.face)];
            bool inside = a.face == b.face && a.face == c.face && a.face == d.face;
            for (const FacePosition* p : {&a, &b, &c, &d})
                inside = inside && p->u > 2 && p->u < s.width - 2 && p->v > 2 && p->v < s.height - 2;
            if (inside) {
                panorama.WarpBlock(x, y, *faces[static_cast<int>(a.face)], a.u, a.v, b.u, b.v,
                                   c.u, c.v, d.u, d.v);
                continue;
            }
            for (int py = y; py < y + 16; ++py)
                for (int px = x; px < x + 16; ++px) {
                    const FacePosition p = projection.PanoramaPixelToFace(px, py);
                    std::uint32_t value = 0;
                    faces[static_cast<int>(p.face)]->Sample(p.u, p.v, &value);
                    panorama.SetPixelValue(px, py, value);
                }
        }
    }
    return panorama;
}

TEST(CubeAssembly, SamePixelsAsThePlainLoop) {
    const std::array<FaceSize, kCubeFaceCount> mixed = {
        {{97, 61}, {128, 128}, {5, 5}, {200, 150}, {64, 300}, {1, 1}}};
    for (int seed = 0; seed < 3; ++seed) {
        const seam_test::Faces faces =
            seam_test::TexturedFaces(seed == 2 ? mixed : SameSizes(160 + 48 * seed, 160), seed);
        CDIB panorama(640, 320, 24);
        ASSERT_EQ(FillCubePanorama(faces.Set(), panorama).status, AssemblyStatus::Done);
        const CDIB plain = PlainAssembly(faces.Set(), 640, 320);
        EXPECT_TRUE(std::ranges::equal(panorama.GetBits(), plain.GetBits())) << "seed " << seed;
    }
}

TEST(CubeAssembly, RefusesWhatItCannotRead) {
    const seam_test::Faces good = seam_test::UniformFaces(32, 32);
    CDIB empty;
    empty.Create(0, 0, 24);  // fails: leaves the bitmap empty
    const CDIB eightBit(32, 32, 8);
    const CDIB thirtyTwo(32, 32, 32);
    struct Case {
        const char* name;
        int replacedFace;  // -1: none
        const CDIB* replacement;
        int width, height, depth;
    };
    const Case kCases[] = {
        {"empty face", 2, &empty, 64, 32, 24},
        {"8-bit face", 0, &eightBit, 64, 32, 24},
        {"32-bit face", 5, &thirtyTwo, 64, 32, 24},
        {"missing face", 3, nullptr, 64, 32, 24},
        {"width not a multiple of 16", -1, nullptr, 72, 32, 24},
        {"height not a multiple of 16", -1, nullptr, 64, 40, 24},
        {"panorama at 32 bits", -1, nullptr, 64, 32, 32},
    };
    for (const Case& c : kCases) {
        CubeFaceSet faces = good.Set();
        if (c.replacedFace >= 0)
            faces[c.replacedFace] = c.replacement;
        CDIB panorama(c.width, c.height, c.depth);
        const std::vector<std::uint8_t> before(panorama.GetBits().begin(), panorama.GetBits().end());
        const AssemblyOutcome outcome = FillCubePanorama(faces, panorama);
        EXPECT_EQ(outcome.status, AssemblyStatus::Refused) << c.name;
        EXPECT_FALSE(outcome.pixelsWritten) << c.name;
        EXPECT_TRUE(std::ranges::equal(panorama.GetBits(), before)) << c.name;
    }
    CDIB panorama(64, 32, 24);
    const auto& f = good.bitmaps;
    EXPECT_EQ(AssembleCubePanorama(f[0], f[1], f[2], f[3], f[4], eightBit, panorama), 0);
    EXPECT_EQ(AssembleCubePanorama(f[0], f[1], f[2], f[3], f[4], f[5], panorama), 1);
    EXPECT_EQ(PixelValue(panorama, 32, 16), kFaceColours[1]);
}

TEST(CubeAssembly, HooksSeeEveryRowAndCanStop) {
    const seam_test::Faces faces = seam_test::UniformFaces(64, 64);
    CDIB panorama(128, 64, 24);
    std::vector<int> positions;
    int blocks = 0;
    AssemblyHooks hooks;
    hooks.rowStarted = [&](int position) { positions.push_back(position); };
    hooks.stop = [&] { return ++blocks > 10; };
    const AssemblyOutcome stopped = FillCubePanorama(faces.Set(), panorama, hooks);
    EXPECT_EQ(stopped.status, AssemblyStatus::Cancelled);
    EXPECT_TRUE(stopped.pixelsWritten);
    EXPECT_EQ(positions, (std::vector<int>{0, 25}));
    // Blocks written before the stop stay; the rest is untouched.
    EXPECT_EQ(PixelValue(panorama, 8, 8), kFaceColours[static_cast<int>(CubeFace::Top)]);
    EXPECT_EQ(PixelValue(panorama, 120, 56), 0u);

    positions.clear();
    hooks.stop = [] { return true; };
    const AssemblyOutcome atOnce = FillCubePanorama(faces.Set(), panorama, hooks);
    EXPECT_EQ(atOnce.status, AssemblyStatus::Cancelled);
    EXPECT_FALSE(atOnce.pixelsWritten);

    hooks.stop = nullptr;
    EXPECT_EQ(FillCubePanorama(faces.Set(), panorama, hooks).status, AssemblyStatus::Done);
    EXPECT_EQ(positions, (std::vector<int>{0, 0, 25, 50, 75}));
}

}  // namespace
