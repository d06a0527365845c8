#include <gtest/gtest.h>

#include <vector>

#include "engine_fixture.h"
#include "engine_test_access.h"
#include "platform/files.h"
#include "platform/media/recording_media_service.h"

namespace {

using BindingTest = EngineFixture;

int EntriesFor(platform::WindowHandle window) {
    int count = 0;
    for (const SubclassEntry& e : SubclassTable)
        count += e.window == window;
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
    for (const SubclassEntry& e : SubclassTable)
        attached += e.window != platform::kNoWindow;
    for (int i = attached; i < kSubclassTableSize; ++i) {
        engines.push_back(std::make_unique<ViewerEngine>());
        LoadInto(backend.CreateWindow({32, 32}), bytes, *engines.back());
        ASSERT_EQ(engines.back()->AttachWindow(), 1) << i;
    }
    const platform::WindowProc before = platform::GetWindowProc(window);
    EXPECT_EQ(engine.AttachWindow(), 0);
    EXPECT_EQ(platform::GetWindowProc(window), before) << "a refused attach changes no chain";
    EXPECT_EQ(EntriesFor(window), 0);
    for (auto& e : engines)
        e->ClosePanorama(0, 0);
    for (const SubclassEntry& e : SubclassTable)
        EXPECT_EQ(e.engine, nullptr);
}

TEST_F(BindingTest, NoEntryOutlivesItsEngine) {
    window = backend.CreateWindow({64, 48});
    const platform::WindowProc original = platform::GetWindowProc(window);
    {
        ViewerEngine shortLived;
        LoadInto(window, MakeContainer({{"BTMP", MakeBitmap(64, 32)}}), shortLived);
        ASSERT_EQ(shortLived.AttachWindow(), 1);
        shortLived.Close();  // closed, window still bound: as a failed reload leaves it
        EXPECT_EQ(platform::GetWindowProc(window), &ViewerWindowProc);
    }
    EXPECT_EQ(EntriesFor(window), 0);
    EXPECT_EQ(platform::GetWindowProc(window), original);
    platform::SendMessage(window, platform::WM_PAINT);  // reaches no destroyed engine
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

bool PlayedWave(const std::vector<std::string>& log, const std::string& name) {
    for (const std::string& line : log) {
        if (line.rfind("PlaySound(" + name + ",", 0) == 0)
            return true;
    }
    return false;
}

TEST_F(BindingTest, OpenPanoramaEntersTheFolderAndLoopsTheCompanionSound) {
    window = backend.CreateWindow({64, 48});
    auto media = std::make_shared<platform::RecordingMediaService>();
    auto previous = platform::InstallMediaService(media);
    const std::string saved = platform::GetCurrentDirectory();
    const std::string folder = platform::GetFullPathName(
        platform::GetTempPath() + "open-panorama-" + std::to_string(platform::CurrentProcessId()));
    ASSERT_TRUE(platform::CreateDirectory(folder));
    struct Case {
        const char* file;
        EngineBuild build;
        const char* sound;  // null: no companion sound and no folder change
    };
    const Case cases[] = {
        {"room.PAN", EngineBuild::Full, "room.wav"},
        {"hall.pan", EngineBuild::Full, "hall.wav"},
        {"room.bmp", EngineBuild::Full, nullptr},
        {"edit.pan", EngineBuild::Editor, nullptr},
    };
    const platform::WindowProc original = platform::GetWindowProc(window);
    for (const Case& c : cases) {
        const std::string path = folder + "/" + c.file;
        const Bytes bytes = std::string(c.file).ends_with(".bmp")
                                ? MakeBitmap(64, 32)
                                : MakeContainer({{"BTMP", MakeBitmap(64, 32)}});
        ASSERT_TRUE(platform::WriteFileSafely(path, bytes));
        platform::SetCurrentDirectory(saved);
        media->ClearLog();
        ViewerEngine viewer(c.build);
        viewer.OpenPanorama(path.c_str(), window, 0, 0, 10);
        EXPECT_EQ(Access::PlayingMedia(viewer), -1);
        if (c.sound) {
            EXPECT_EQ(platform::GetCurrentDirectory(), folder) << c.file;
            EXPECT_TRUE(PlayedWave(media->Log(), folder + "/" + c.sound)) << c.file;
        } else {
            EXPECT_EQ(platform::GetCurrentDirectory(),
                      c.build == EngineBuild::Editor ? saved : folder)
                << c.file;
            for (const std::string& line : media->Log()) {
                EXPECT_EQ(line.rfind("PlaySound(null", 0), 0u) << c.file << ": " << line;
            }
        }
        EXPECT_EQ(viewer.AttachWindow(), 1);
        viewer.ClosePanorama(0, 0);
        EXPECT_EQ(platform::GetWindowProc(window), original) << "closing detached the window";
        platform::DeleteFile(path);
    }
    platform::SetCurrentDirectory(saved);
    platform::RemoveDirectory(folder);
    platform::InstallMediaService(previous);
}

TEST_F(BindingTest, MediaNoticesAndMovesStopTheMediaOfTheFullBuildOnly) {
    auto media = std::make_shared<platform::RecordingMediaService>();
    auto previous = platform::InstallMediaService(media);
    LoadDefault();
    ASSERT_EQ(engine.AttachWindow(), 1);
    Access::PlayingMedia(engine) = 3;
    Access::Media(engine).deviceName = "clip.avi";
    backend.Move(window, {10, 10});
    EXPECT_FALSE(Access::Media(engine).IsDeviceOpen()) << "a move stops a hotspot video";
    EXPECT_EQ(Access::PlayingMedia(engine), 3);
    Access::Media(engine).deviceName = "clip.avi";
    platform::SendMessage(window, platform::MM_MCINOTIFY, 1, 0);
    EXPECT_FALSE(Access::Media(engine).IsDeviceOpen());
    EXPECT_EQ(Access::PlayingMedia(engine), -1);
    engine.DetachWindow();

    ViewerEngine editor(EngineBuild::Editor);
    LoadInto(window, MakeContainer({{"BTMP", MakeBitmap(64, 32)}}), editor);
    ASSERT_EQ(editor.AttachWindow(), 1);
    Access::PlayingMedia(editor) = 2;
    Access::Media(editor).deviceName = "clip.avi";
    backend.ClearLog(window);
    platform::SendMessage(window, platform::MM_MCINOTIFY, 1, 0);
    EXPECT_TRUE(Access::Media(editor).IsDeviceOpen())
        << "the editor's own window handles the notice";
    EXPECT_EQ(Access::PlayingMedia(editor), 2);
    EXPECT_EQ(backend.Log(window).back().id, platform::MM_MCINOTIFY);
    Access::Media(editor).deviceName.clear();
    editor.DetachWindow();
    platform::InstallMediaService(previous);
}

}  // namespace
