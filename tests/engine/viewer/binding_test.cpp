#include <gtest/gtest.h>

#include <vector>

#include "engine_fixture.h"
#include "platform/files.h"

namespace {

using BindingTest = EngineFixture;

int EntriesFor(platform::WindowHandle window) {
    int count = 0;
    for (const SubclassEntry& e : SubclassTable) count += e.window == window;
    return count;
}

TEST_F(BindingTest, AttachSubclassesOnceAndDetachRestores) {
    LoadDefault();
    const platform::WindowProc original = platform::GetWindowProc(window);
    EXPECT_EQ(engine.AttachWindow(), 1);
    EXPECT_EQ(platform::GetWindowProc(window), &ViewerWindowProc);
    EXPECT_EQ(engine.AttachWindow(), 0) << "second attach";
    EXPECT_EQ(EntriesFor(window), 1);

    backend.ClearLog(window);
    platform::SendMessage(window, platform::WM_PAINT);
    ASSERT_EQ(backend.Log(window).size(), 1u) << "the engine passes every message on";

    EXPECT_EQ(engine.DetachWindow(), 1);
    EXPECT_EQ(platform::GetWindowProc(window), original);
    EXPECT_EQ(EntriesFor(window), 0);
    EXPECT_EQ(UnsubclassViewerWindow(window), kSubclassTableSize);
}

TEST_F(BindingTest, DetachOfAnUnboundWindowStillStopsTheMotion) {
    LoadDefault();
    engine.SetPanVelocity(30, -1, 0);
    EXPECT_EQ(engine.DetachWindow(), 1);
    double velocity = 1;
    engine.GetPanVelocity(&velocity);
    EXPECT_EQ(velocity, 0);
    EXPECT_FALSE(backend.CursorClip().has_value());
}

TEST_F(BindingTest, TheThirtyThirdWindowIsRefusedAndLeftAsItWas) {
    LoadDefault(32, 32);
    std::vector<std::unique_ptr<ViewerEngine>> engines;
    const Bytes bytes = MakeContainer({{"BTMP", MakeBitmap(64, 32)}});
    int attached = 0;
    for (const SubclassEntry& e : SubclassTable) attached += e.window != platform::kNoWindow;
    for (int i = attached; i < kSubclassTableSize; ++i) {
        engines.push_back(std::make_unique<ViewerEngine>());
        LoadInto(backend.CreateWindow({32, 32}), bytes, *engines.back());
        ASSERT_EQ(engines.back()->AttachWindow(), 1) << i;
    }
    const platform::WindowProc before = platform::GetWindowProc(window);
    EXPECT_EQ(engine.AttachWindow(), 0);
    EXPECT_EQ(platform::GetWindowProc(window), before) << "a refused attach changes no chain";
    EXPECT_EQ(EntriesFor(window), 0);
    for (auto& e : engines) e->ClosePanorama(0, 0);
    for (const SubclassEntry& e : SubclassTable) EXPECT_EQ(e.engine, nullptr);
}

TEST_F(BindingTest, AWindowWithoutAnEntryNeverReachesAnEngine) {
    LoadDefault();
    // A stale procedure left on a window: messages go on to the window's base, and no engine.
    const platform::WindowProc original = platform::SetWindowProc(window, &ViewerWindowProc);
    backend.ClearLog(window);
    EXPECT_EQ(platform::SendMessage(window, platform::WM_PAINT), 0);
    platform::SetWindowProc(window, original);
    EXPECT_EQ(UnsubclassViewerWindow(window), kSubclassTableSize);
}

TEST_F(BindingTest, OpenPanoramaMakesTheFolderCurrent) {
    window = backend.CreateWindow({64, 48});
    const std::string saved = platform::GetCurrentDirectory();
    const std::string folder =
        platform::GetTempPath() + "open-panorama-" + std::to_string(platform::CurrentProcessId());
    ASSERT_TRUE(platform::CreateDirectory(folder));
    const std::string path = folder + "/room.PAN";
    ASSERT_TRUE(platform::WriteFileSafely(path, MakeContainer({{"BTMP", MakeBitmap(64, 32)}})));
    engine.OpenPanorama(path.c_str(), window, 0, 0, 10);
    EXPECT_EQ(platform::GetCurrentDirectory(), platform::GetFullPathName(folder));
    EXPECT_EQ(engine.AttachWindow(), 1);
    engine.DetachWindow();
    engine.ClosePanorama(0, 0);
    EXPECT_FALSE(engine.IsLoaded());
    platform::SetCurrentDirectory(saved);
    platform::DeleteFile(path);
    platform::RemoveDirectory(folder);
}

}  // namespace
