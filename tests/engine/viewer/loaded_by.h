#pragma once
// What a load leaves that the loaded bytes decide, so that a panorama loaded from its file and
// from memory can be compared whole.

#include <gtest/gtest.h>

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "engine_test_access.h"
#include "platform/files.h"
#include "test_panoramas.h"

struct Loaded {
    std::string error;
    std::size_t picture = 0;  // a hash of its bytes: a picture at the ceiling is not copied
    // Whether it is loaded, the hotspots, home pan and field of view, field of view, fixed limits.
    std::tuple<bool, int, double, double, double, double, double> view;
    std::vector<std::string> extracted;
    bool operator==(const Loaded&) const = default;
};

// Loads `bytes` from memory, then opens `path`, each on a new engine gone by the return, and
// records what each left: the error's text if it threw, the picture, the view's figures and the
// names of the files it extracted.
inline std::array<Loaded, 2> LoadedBothWays(const std::string& path,
                                            std::span<const std::uint8_t> bytes) {
    std::array<Loaded, 2> both;
    for (Loaded& loaded : both) {
        ViewerEngine engine;
        try {
            if (&loaded == &both[0])
                engine.Load(bytes.data(), bytes.size(), platform::kNoWindow, 0, 0, 4);
            else
                engine.OpenFile(path.c_str(), platform::kNoWindow, 0, 0, 4);
        } catch (const LoadError& failure) {
            loaded.error = failure.what();
        }
        const ViewStateGuard state = Access::State(engine);
        const auto picture = state->image.Bytes();
        loaded.picture = std::hash<std::string_view>{}(
            {reinterpret_cast<const char*>(picture.data()), picture.size()});
        loaded.view =
            std::tuple(engine.IsLoaded(), state->hotspotCount, state->homePan, state->homeFov,
                       state->fov, state->fixedPanMax, state->fixedTiltMax);
        loaded.extracted = platform::ListFiles(engine.TempExtractDirectory(), "*");
    }
    return both;
}

// Writes `file` to `path` and expects opening it to leave what loading its bytes leaves; `what`
// names the case in a failure.
inline void ExpectOpenedAsLoaded(const std::string& path, const Bytes& file,
                                 const std::string& what) {
    ASSERT_TRUE(platform::WriteFileSafely(path, file)) << what;
    const auto [loaded, opened] = LoadedBothWays(path, file);
    EXPECT_EQ(opened.error, loaded.error) << what;
    EXPECT_TRUE(opened == loaded) << what;
}
