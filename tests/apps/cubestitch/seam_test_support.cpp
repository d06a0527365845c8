#include "tests/apps/cubestitch/seam_test_support.h"

#include <QApplication>

#include <unistd.h>

#include <fstream>

#include "platform/message_box.h"

QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "cubestitch_tests";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt cannot be torn down safely from static destructors.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

void SeamTest::SetUp() {
    TestApplication();
    // The process number keeps runs of the same test from other build trees apart.
    root_ = std::filesystem::temp_directory_path() /
            ("halvex-seam-" + std::to_string(::getpid()) + "-" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    settings_ = cubestitch::SeamSettings(Scratch("Cubestitch.conf"));
}

void SeamTest::TearDown() {
    std::filesystem::remove_all(root_);
}

cubestitch::SeamFrameServices SeamTest::RecordingServices() {
    cubestitch::SeamFrameServices services;
    services.ask = [this](std::string_view text, std::uint32_t type) {
        messages_.push_back({std::string(text), type});
        if (answers_.empty())
            return platform::DefaultMessageBoxAnswer(type);
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    };
    services.askOpenFile = [this](const QString& title) -> std::optional<std::string> {
        openTitles_.push_back(title.toStdString());
        if (openPaths_.empty())
            return std::nullopt;
        std::string path = openPaths_.front();
        openPaths_.pop_front();
        if (path.empty())
            return std::nullopt;
        return path;
    };
    services.askSavePath = [this]() -> std::optional<std::string> {
        if (savePath_.empty())
            return std::nullopt;
        return savePath_;
    };
    services.runCompressor = [this](const std::vector<std::string>& args) {
        compressorRuns_.push_back(args);
        platform::SuiteProgramRun run;
        run.started = compressorStarts_;
        run.exitStatus = compressorStarts_ ? compressorStatus_ : -1;
        // The stand-in "compresses" by copying the bitmap to the target.
        if (compressorStarts_ && compressorStatus_ == 0 && args.size() == 2)
            std::filesystem::copy_file(args[0], args[1],
                                       std::filesystem::copy_options::overwrite_existing);
        return run;
    };
    services.help = [this](int context) {
        helpContext_ = context;
        return helpOpens_;
    };
    return services;
}

CDIB PatternPicture(int width, int height) {
    CDIB picture(width, height, 24);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            picture.SetPixel(x, y, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                             static_cast<std::uint8_t>(x ^ y));
    }
    return picture;
}

std::string SeamTest::WritePicture(const std::string& name, int width, int height, int bits) {
    CDIB picture = PatternPicture(width, height);
    if (bits != 24)
        picture.ChangeBitDepth(bits);
    const std::string path = Scratch(name);
    EXPECT_EQ(picture.Save(path), 1);
    return path;
}

bool SamePixels(const CDIB& a, const CDIB& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return false;
    for (int y = 0; y < a.GetHeight(); ++y) {
        for (int x = 0; x < a.GetWidth(); ++x) {
            std::uint8_t ar = 0, ag = 0, ab = 0, br = 0, bg = 0, bb = 0;
            a.GetPixel(x, y, &ar, &ag, &ab);
            b.GetPixel(x, y, &br, &bg, &bb);
            if (ar != br || ag != bg || ab != bb)
                return false;
        }
    }
    return true;
}
