#pragma once
// A headless window with an engine loaded into it; the render thread starts paused.

#include <gtest/gtest.h>

#include <memory>

#include "engine/viewer/viewer_engine.h"
#include "platform/headless/headless_backend.h"
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
