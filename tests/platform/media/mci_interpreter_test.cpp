#include "platform/media/mci_interpreter.h"

#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace platform {
namespace {

TEST(ParseMciCommand, ReadsEveryFormTheViewerSends) {
    struct Case {
        const char* text;
        MciCommand::Verb verb;
        const char* name;
        std::optional<long long> parent;
        std::optional<long long> from;
        bool repeat;
        bool notify;
    };
    using V = MciCommand::Verb;
    const Case cases[] = {
        {"open intro.avi", V::kOpen, "intro.avi", {}, {}, false, false},
        {"open /a b/c.avi parent 42 style popup", V::kOpen, "/a b/c.avi", 42, {}, false, false},
        {"open big.avi parent 0 style popup", V::kOpen, "big.avi", 0, {}, false, false},
        {"play a b.wav from 0", V::kPlay, "a b.wav", {}, 0, false, false},
        {"play a.wav from 1500 repeat notify", V::kPlay, "a.wav", {}, 1500, true, true},
        {"play a.wav from 0 notify", V::kPlay, "a.wav", {}, 0, false, true},
        {"play intro.avi notify", V::kPlay, "intro.avi", {}, {}, false, true},
        {"play songs from x.wav", V::kPlay, "songs from x.wav", {}, {}, false, false},
        {"status my song.wav position", V::kStatusPosition, "my song.wav", {}, {}, false, false},
        {"close my song.wav", V::kClose, "my song.wav", {}, {}, false, false},
        {"close ", V::kClose, "", {}, {}, false, false},
    };
    for (const Case& c : cases) {
        std::optional<MciCommand> parsed = ParseMciCommand(c.text);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parsed->verb, c.verb) << c.text;
        EXPECT_EQ(parsed->name, c.name) << c.text;
        EXPECT_EQ(parsed->parent, c.parent) << c.text;
        EXPECT_EQ(parsed->from, c.from) << c.text;
        EXPECT_EQ(parsed->repeat, c.repeat) << c.text;
        EXPECT_EQ(parsed->notify, c.notify) << c.text;
    }
}

TEST(ParseMciCommand, PlacementAndMalformedCommands) {
    std::optional<MciCommand> put = ParseMciCommand("put a b.avi window at -5 10 320 240");
    ASSERT_TRUE(put);
    EXPECT_EQ(put->name, "a b.avi");
    EXPECT_EQ(put->rect.x, -5);
    EXPECT_EQ(put->rect.y, 10);
    EXPECT_EQ(put->rect.width, 320);
    EXPECT_EQ(put->rect.height, 240);

    for (const char* bad :
         {"", "stop a.wav", "put a.avi window at 1 2 3", "put a.avi", "put a.avi window at 1 2 x 4",
          "status a.wav length", "open a.avi parent x style popup", "OPEN a.wav"}) {
        EXPECT_FALSE(ParseMciCommand(bad)) << bad;
    }
}

// A backend that logs what the interpreter asks of it.
struct FakeLog {
    std::vector<std::string> lines;
    bool endAtOnce = false;
};

class FakeClip final : public MediaClip {
  public:
    FakeClip(std::shared_ptr<FakeLog> log, std::string path) : log_(log), path_(path) {}
    ~FakeClip() override { log_->lines.push_back("destroy " + path_); }
    bool HasVideo() const override { return false; }
    void Place(const ScreenRect& r) override {
        log_->lines.push_back("place " + path_ + " " + std::to_string(r.x) + "," +
                              std::to_string(r.y) + "," + std::to_string(r.width) + "," +
                              std::to_string(r.height));
    }
    bool Play(std::int64_t fromMs, bool repeat, std::function<void()> onEnd) override {
        log_->lines.push_back("play " + path_ + " " + std::to_string(fromMs) +
                              (repeat ? " repeat" : "") + (onEnd ? " notify" : ""));
        if (log_->endAtOnce && onEnd)
            onEnd();
        return true;
    }
    std::int64_t PositionMs() const override { return 1234; }

  private:
    std::shared_ptr<FakeLog> log_;
    std::string path_;
};

class FakeBackend final : public MediaBackend {
  public:
    explicit FakeBackend(std::shared_ptr<FakeLog> log) : log_(log) {}
    std::unique_ptr<MediaClip> OpenClip(const std::string& path,
                                        VideoPlacement placement) override {
        log_->lines.push_back("open " + path +
                              (placement == VideoPlacement::kFullScreen ? " full" : ""));
        if (path.find("missing") != std::string::npos)
            return nullptr;
        return std::make_unique<FakeClip>(log_, path);
    }

  private:
    std::shared_ptr<FakeLog> log_;
};

TEST(MciMediaService, DevicesLiveFromOpenToCloseUnderTheirName) {
    auto log = std::make_shared<FakeLog>();
    MciMediaService service(std::make_shared<FakeBackend>(log));
    std::string reply;

    EXPECT_EQ(service.SendString("open my clip.avi parent 7 style popup", nullptr, 0), kMciOk);
    EXPECT_EQ(service.SendString("open my clip.avi", nullptr, 0), kMciNameInUse);
    EXPECT_EQ(service.SendString("put my clip.avi window at 1 2 3 4", nullptr, 0), kMciOk);
    EXPECT_EQ(service.SendString("play my clip.avi notify", nullptr, 7), kMciOk);
    EXPECT_EQ(service.SendString("status my clip.avi position", &reply, 0), kMciOk);
    EXPECT_EQ(reply, "1234");
    EXPECT_EQ(service.SendString("close my clip.avi", nullptr, 0), kMciOk);
    EXPECT_EQ(service.SendString("close my clip.avi", nullptr, 0), kMciUnknownDevice);
    EXPECT_EQ(service.SendString("play other.wav from 0", nullptr, 0), kMciUnknownDevice);
    EXPECT_EQ(service.SendString("open missing.wav", nullptr, 0), kMciCannotOpen);
    EXPECT_EQ(service.SendString("open big.avi parent 0 style popup", nullptr, 0), kMciOk);
    EXPECT_EQ(service.SendString("close ", nullptr, 0), kMciMissingName);
    EXPECT_EQ(service.SendString("rewind big.avi", nullptr, 0), kMciUnrecognizedCommand);

    const std::vector<std::string> expected = {
        "open my clip.avi",    "place my clip.avi 1,2,3,4", "play my clip.avi 0 notify",
        "destroy my clip.avi", "open missing.wav",          "open big.avi full",
    };
    EXPECT_EQ(log->lines, expected);
}

TEST(MciMediaService, CompletionNoticeGoesToTheNamedWindow) {
    HeadlessBackend backend;
    const WindowHandle quiet = backend.CreateWindow({10, 10});
    const WindowHandle told = backend.CreateWindow({10, 10});
    auto log = std::make_shared<FakeLog>();
    log->endAtOnce = true;
    MciMediaService service(std::make_shared<FakeBackend>(log));

    service.SendString("open a.wav", nullptr, 0);
    service.SendString("play a.wav from 0", nullptr, quiet);
    service.SendString("play a.wav from 0 notify", nullptr, told);
    backend.Pump();

    EXPECT_TRUE(backend.Log(quiet).empty());
    std::vector<Message> messages = backend.Log(told);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].id, MM_MCINOTIFY);
    EXPECT_EQ(messages[0].wParam, kMediaNotifySuccessful);
}

TEST(MciMediaService, WaveSoundReplacesItselfAndMissingFilesPlayNothing) {
    auto log = std::make_shared<FakeLog>();
    MciMediaService service(std::make_shared<FakeBackend>(log));
    const unsigned loop =
        kSoundFilename | kSoundLoop | kSoundAsync | kSoundNoDefault | kSoundNoWait;

    EXPECT_TRUE(service.PlayWave("a.wav", loop));
    EXPECT_TRUE(service.PlayWave("b.wav", kSoundFilename | kSoundAsync));
    EXPECT_FALSE(service.PlayWave("missing.wav", loop));
    EXPECT_TRUE(service.PlayWave(nullptr, kSoundAsync | kSoundNoDefault | kSoundNoWait));

    const std::vector<std::string> expected = {
        "open a.wav",   "play a.wav 0 repeat", "destroy a.wav",    "open b.wav",
        "play b.wav 0", "destroy b.wav",       "open missing.wav",
    };
    EXPECT_EQ(log->lines, expected);
}

}  // namespace
}  // namespace platform
