#pragma once
// A headless window with an engine loaded into it; the render thread starts paused.

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "engine/viewer/viewer_engine.h"
#include "platform/headless/headless_backend.h"
#include "platform/surface.h"
#include "test_panoramas.h"

class EngineFixture : public testing::Test {
  protected:
    static constexpr std::uint32_t kNotify = platform::WM_USER + 7;

    void LoadInto(platform::WindowHandle target, const Bytes& bytes, ViewerEngine& into) {
        into.Load(bytes.data(), bytes.size(), target, kNotify, 0, 4);
    }
    void LoadDefault(int width = 100, int height = 75) {
        window = backend.CreateWindow({width, height});
        LoadInto(window, MakeContainer({{"BTMP", MakeBitmap(256, 128)}}), engine);
    }
    // The picture `target` shows: its width and its rows bottom-up, packed end to end.
    static std::pair<int, Bytes> Shown(platform::WindowHandle target) {
        std::pair<int, Bytes> shown;
        platform::GetWindowSurface(target)->Read([&shown](const platform::SurfacePicture& p) {
            const auto rowBytes = static_cast<std::size_t>(p.size.width) *
                                  static_cast<std::size_t>(platform::BytesPerPixel(p.format));
            shown.first = p.size.width;
            for (int row = 0; row < p.size.height; ++row) {
                const auto start = p.pixels.begin() + static_cast<std::ptrdiff_t>(p.stride * row);
                shown.second.insert(shown.second.end(), start,
                                    start + static_cast<std::ptrdiff_t>(rowBytes));
            }
        });
        return shown;
    }
    int Notifications() {
        backend.Pump();
        int count = 0;
        for (const platform::Message& m : backend.Log(window))
            count += m.id == kNotify;
        return count;
    }

    platform::HeadlessBackend backend;
    platform::WindowHandle window = platform::kNoWindow;
    ViewerEngine engine;
};
