// An avatar file loaded into a slot of the viewer engine, over a small panorama with hotspots
// at awkward places (both sides at 90 degrees, behind, around a pole, the whole sphere), in a
// headless window, and drawn over several frames at the display depth and with the placement
// the first bytes choose; then every point along the frame's edges and beyond is hit-tested and
// every hotspot's window rectangle asked for.
//
// The input: byte 0 the display depth (low 3 bits), an 8-bit panorama (bit 3) and the window
// (bits 4-5); bytes 1-6 twelve nibbles choosing, from a table of extremes, the box's position
// and size, its velocity and its growth; bytes 7-8 four nibbles choosing the view's pan, tilt,
// roll and field of view; byte 9 the animation rates across and down. The rest is the file.
//
// Invariants: a slot that loaded holds a well-formed picture whose grid fits it and reports a
// frame inside that grid; a hit names an avatar slot or a hotspot that exists; a window
// rectangle lies inside the frame.

#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "engine/avatar_file/packed_dib.h"
#include "engine/container/hotspot_section.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seed_builders.h"
#include "platform/display_depth.h"
#include "platform/headless/headless_backend.h"

namespace {

constexpr std::size_t kControlBytes = 10;
constexpr std::int16_t kSlots = 2;
constexpr int kFrames = 4;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
// Sixteen values for positions, sizes and rates: ordinary ones and the extremes.
constexpr double kExtremes[16] = {
    0,     1,      -1,   10,    -10,  1e-9,         1e6,      -1e6,
    1e300, -1e300, kInf, -kInf, kNan, 2147483647.5, 4.9e-324, std::numeric_limits<double>::max()};
// Sixteen angles in degrees for the view.
constexpr double kAngles[16] = {0,   90,   -90,   180, -180, 45,   89.999, 10,
                                170, 1e-3, 359.5, 1e9, -1e9, kNan, kInf,   5};

// The farthest a window point can lie from the window's origin (mouse messages carry 16 bits).
constexpr int kFarthest = 32767;

const platform::Size kWindows[4] = {{96, 64}, {1, 1}, {257, 3}, {2, 300}};

// The panorama: a small ramp at 24 or 8 bits with hotspots where projections are hardest.
const fuzz::Bytes& Panorama(bool indexed) {
    static const auto build = [](bool eight) {
        const std::vector<SectionHotspot> hotspots = {
            {-20, -15, 20, 15, "ahead"},    {85, -5, 95, 5, "right side"},
            {-95, -5, -85, 5, "left side"}, {170, -10, -170, 10, "behind"},
            {-180, -90, 180, 90, "sphere"}, {0, 80, 10, 90, "pole"},
            {89.99f, 0, 90.01f, 1, "thin"}, {90, -1, -90, 1, "half"},
        };
        return fuzz::Container({{"BTMP", fuzz::RampBitmap(64, 32, eight ? 8 : 24)},
                                {"HSPT", BuildHotspotSection(hotspots).value_or(fuzz::Bytes{})}});
    };
    static const fuzz::Bytes trueColour = build(false);
    static const fuzz::Bytes eightBit = build(true);
    return indexed ? eightBit : trueColour;
}

struct Control {
    int depth;
    bool indexed;
    platform::Size window;
    double position[3], size[3], velocity[3], sizeRate[3];
    double pan, tilt, roll, fov;
    double across, down;
};

Control ReadControl(const std::uint8_t* data) {
    constexpr int kDepths[8] = {8, 15, 16, 24, 32, 8, 16, 32};
    Control c{};
    c.depth = kDepths[data[0] & 7];
    c.indexed = (data[0] & 8) != 0;
    c.window = kWindows[(data[0] >> 4) & 3];
    const auto nibble = [data](int n) { return (data[1 + n / 2] >> (n % 2 * 4)) & 15; };
    for (int axis = 0; axis < 3; ++axis) {
        c.position[axis] = kExtremes[nibble(axis)];
        c.size[axis] = kExtremes[nibble(3 + axis)];
        c.velocity[axis] = kExtremes[nibble(6 + axis)];
        c.sizeRate[axis] = kExtremes[nibble(9 + axis)];
    }
    c.pan = kAngles[nibble(12)];
    c.tilt = kAngles[nibble(13)];
    c.roll = kAngles[nibble(14)];
    c.fov = kAngles[nibble(15)];
    c.across = kExtremes[data[9] & 15];
    c.down = kExtremes[data[9] >> 4];
    return c;
}

// A loaded slot holds a picture whose grid fits it, and shows a frame of that grid.
void CheckSlot(Avatar& avatar) {
    const AvatarSlot slot = avatar.Snapshot();
    if (!slot.HasImage())
        return;
    const std::optional<PackedDibShape> shape = CheckedShape(slot.image);
    if (!shape || slot.framesAcross < 1 || slot.framesDown < 1 ||
        slot.framesAcross > shape->width || slot.framesDown > shape->height)
        std::abort();
    std::int16_t column = -1, row = -1;
    if (avatar.IsEmpty(&column, &row) != 0 || column < 0 || row < 0 ||
        column >= slot.framesAcross || row >= slot.framesDown)
        std::abort();
}

void CheckHits(ViewerEngine& engine, platform::Size window, std::int16_t hotspots) {
    const int xs[] = {-kFarthest - 1,   -1,           0,        window.width / 2,
                      window.width - 1, window.width, kFarthest};
    const int ys[] = {-kFarthest - 1, -1,       0, window.height / 2, window.height - 1,
                      window.height,  kFarthest};
    for (int x : xs) {
        for (int y : ys) {
            std::int16_t kind = -1;
            const std::uint16_t index = engine.HitTest(x, y, &kind);
            const bool fine = (kind == kHitNothing && index == 0xFFFF) ||
                              (kind == kHitAvatar && index < kSlots) ||
                              (kind == kHitHotspot && index < hotspots);
            if (!fine)
                std::abort();
        }
    }
    // The engine draws frames of whole 32-pixel blocks, and its rectangles are the frame's.
    const int frameWidth = (window.width + 31) / 32 * 32;
    const int frameHeight = (window.height + 31) / 32 * 32;
    for (std::int16_t i = 0; i < hotspots; ++i) {
        int left = 0, top = 0, right = 0, bottom = 0;
        if (engine.GetHotspot(i)->GetScreenRect(&left, &top, &right, &bottom) != 0)
            continue;
        if (left < 0 || top < 0 || left > right || top > bottom || right >= frameWidth ||
            bottom >= frameHeight)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& home = fuzz::PrepareProcess();
    static platform::HeadlessBackend backend;
    if (size < kControlBytes)
        return 0;
    const Control c = ReadControl(data);
    const std::string path = home + "/input.avt";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + kControlBytes),
               static_cast<std::streamsize>(size - kControlBytes));

    platform::OverrideDisplayDepth(c.depth);
    const platform::WindowHandle window = backend.CreateWindow(c.window);
    {
        ViewerEngine engine;
        const fuzz::Bytes& panorama = Panorama(c.indexed);
        try {
            engine.Load(panorama.data(), panorama.size(), window, 0, 0, kSlots);
        } catch (const LoadError&) {
            std::abort();
        }
        engine.SetView(c.pan, c.tilt, c.roll, c.fov, 0);
        Avatar& first = *engine.GetAvatar(0);
        Avatar& second = *engine.GetAvatar(1);
        if (first.Load(path.c_str(), c.position, c.size, 1) == 0) {
            // The same file again, nearer, so the two are sorted and drawn over each other.
            const double nearer[3] = {c.position[0] / 2, c.position[1] / 2, c.position[2] / 2};
            second.Load(path.c_str(), nearer, c.size, 1);
            first.SetVelocity(c.velocity[0], c.velocity[1], c.velocity[2]);
            first.SetSizeRate(c.sizeRate[0], c.sizeRate[1], c.sizeRate[2]);
            first.SetAnimationRate(c.across, c.down);
            second.SetAnimationRate(c.down, c.across);
        }
        std::int16_t hotspots = 0;
        while (engine.GetHotspot(hotspots) != nullptr)
            ++hotspots;
        for (int frame = 0; frame < kFrames; ++frame) {
            engine.RenderFrame();
            CheckSlot(first);
            CheckSlot(second);
            CheckHits(engine, c.window, hotspots);
        }
    }
    backend.DestroyWindow(window);
    backend.ClearMessageBoxes();
    platform::ClearDisplayDepthOverride();
    fuzz::ReturnHome();
    return 0;
}
