#include <gtest/gtest.h>

#include <QApplication>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/media/media_service.h"
#include "platform/qt_media/qt_audio_sink.h"
#include "platform/qt_media/qt_media_outputs.h"
#include "platform/qt_media/qt_video_popup.h"

namespace platform {
namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "platform_qt_tests";
    static char* argv[] = {name, nullptr};
    static const QApplication* app = new QApplication(argc, argv);
    (void)app;
}

VideoPopup* FindPopup() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* popup = dynamic_cast<VideoPopup*>(widget))
            return popup;
    }
    return nullptr;
}

TEST(PcmBuffer, DrainsInOrderFillsGapsWithSilenceAndDropsTheOldest) {
    PcmBuffer buffer(6);
    buffer.Append("abcd", 4);
    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(buffer.read(out, 3), 3);
    EXPECT_EQ(std::string(out, 3), "abc");
    EXPECT_EQ(buffer.read(out, 4), 4);
    EXPECT_EQ(std::string(out, 4), std::string("d\0\0\0", 4));
    buffer.Append("12345678", 8);
    EXPECT_EQ(buffer.read(out, 6), 6);
    EXPECT_EQ(std::string(out, 6), "345678");
    buffer.Append("zz", 2);
    buffer.Clear();
    EXPECT_EQ(buffer.read(out, 2), 2);
    EXPECT_EQ(std::string(out, 2), std::string("\0\0", 2));
}

TEST(QtVideoSink, PlacesItsPopupAndShowsPicturesSentFromAnotherThread) {
    EnsureApplication();
    {
        QtVideoSink sink(32, 16, false);
        sink.Place({40, 30, 64, 48});
        VideoPopup* popup = FindPopup();
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->geometry(), QRect(40, 30, 64, 48));
        EXPECT_TRUE(popup->isHidden()) << "nothing is shown before the first picture";

        std::vector<std::uint8_t> picture(32 * 16 * 4, 0x80);
        std::thread player([&] { sink.Show(32, 16, picture); });
        player.join();
        for (int i = 0; i < 20 && popup->isHidden(); ++i)
            QApplication::processEvents();
        EXPECT_FALSE(popup->isHidden());
    }
    QApplication::processEvents();
    EXPECT_EQ(FindPopup(), nullptr) << "the sink takes its popup with it";
}

// With or without a sound device on the machine, a wave file through the Qt outputs either
// plays or fails to open; closing it never hangs.
TEST(QtMedia, WaveThroughTheQtOutputsNeverHangs) {
    EnsureApplication();
    const std::filesystem::path wave = std::filesystem::temp_directory_path() /
                                       ("qt-media-" + std::to_string(::getpid()) + ".wav");
    {
        const std::uint32_t samples = 4410;
        std::vector<char> bytes(44 + samples * 2, 0);
        auto put = [&bytes](std::size_t at, std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i)
                bytes[at + i] = static_cast<char>(v >> (8 * i));
        };
        std::memcpy(bytes.data(), "RIFF", 4);
        put(4, 36 + samples * 2, 4);
        std::memcpy(bytes.data() + 8, "WAVEfmt ", 8);
        put(16, 16, 4);
        put(20, 1, 2);
        put(22, 1, 2);
        put(24, 44100, 4);
        put(28, 88200, 4);
        put(32, 2, 2);
        put(34, 16, 2);
        std::memcpy(bytes.data() + 36, "data", 4);
        put(40, samples * 2, 4);
        std::ofstream(wave, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
    }
    ScopedQtMedia media;
    const std::string name = wave.string();
    const int opened = SendMciString("open " + name, nullptr, 0, 0);
    EXPECT_TRUE(opened == kMciOk || opened == kMciCannotOpen) << opened;
    if (opened == kMciOk) {
        EXPECT_EQ(SendMciString("play " + name + " from 0", nullptr, 0, 0), kMciOk);
        QApplication::processEvents();
        EXPECT_EQ(SendMciString("close " + name, nullptr, 0, 0), kMciOk);
    }
    PlaySound(name.c_str(), nullptr, kSoundFilename | kSoundLoop | kSoundAsync);
    QApplication::processEvents();
    PlaySound(nullptr, nullptr, kSoundAsync);
    std::filesystem::remove(wave);
}

}  // namespace
}  // namespace platform
