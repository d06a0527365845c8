#pragma once

// What a load leaves that the loaded bytes decide, so that two ways of loading one panorama (from
// its file and from memory) can be compared whole.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "engine_test_access.h"
#include "platform/files.h"
#include "test_panoramas.h"

struct Loaded {
    std::string error;
    Bytes picture;
    int hotspots = 0;
    double homePan = 0, homeFov = 0, fov = 0, fixedPanMax = 0, fixedTiltMax = 0;
    std::vector<std::string> extracted;
    bool operator==(const Loaded&) const = default;
};

// Runs `load` on `engine` and records what it left: the error's text if it threw, the picture's
// bytes, the view's figures and the names of the files it extracted.
inline Loaded LoadedBy(ViewerEngine& engine, const std::function<void()>& load) {
    Loaded loaded;
    try {
        load();
    } catch (const LoadError& failure) {
        loaded.error = failure.what();
    }
    {
        const ViewStateGuard state = Access::State(engine);
        if (state->image)
            loaded.picture.assign(state->image.Bytes().begin(), state->image.Bytes().end());
        loaded.hotspots = state->hotspotCount;
        loaded.homePan = state->homePan;
        loaded.homeFov = state->homeFov;
        loaded.fov = state->fov;
        loaded.fixedPanMax = state->fixedPanMax;
        loaded.fixedTiltMax = state->fixedTiltMax;
    }
    loaded.extracted = platform::ListFiles(engine.TempExtractDirectory(), "*");
    return loaded;
}

// Writes `file` to `path`, then opens it there and loads it from memory, each on a new engine, and
// expects both to leave the same; `what` names the case in a failure.
inline void ExpectOpenedAsLoaded(const std::string& path, const Bytes& file,
                                 const std::string& what) {
    ASSERT_TRUE(platform::WriteFileSafely(path, file)) << what;
    ViewerEngine fromMemory, fromFile;
    const Loaded loaded = LoadedBy(fromMemory, [&] {
        fromMemory.Load(file.data(), file.size(), platform::kNoWindow, 0, 0, 4);
    });
    const Loaded opened =
        LoadedBy(fromFile, [&] { fromFile.OpenFile(path.c_str(), platform::kNoWindow, 0, 0, 4); });
    EXPECT_EQ(opened.error, loaded.error) << what;
    EXPECT_TRUE(opened == loaded) << what;
    EXPECT_EQ(fromFile.IsLoaded(), fromMemory.IsLoaded()) << what;
}
