#include "apps/compactor/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/apps/compactor/temp_config.h"

namespace {

constexpr const char* kDefaultFile = "Tavrin/Compactor.conf";

struct StoredExpectation {
    std::optional<int> codec;
    std::optional<int> quality;
    std::optional<int> thumbnail;
};

struct CommandLineCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string output;
    int dialog;
    int window;
    const char* settingsFile;  // where the values below are expected
    StoredExpectation stored;  // nothing = not written
};

const std::vector<CommandLineCase> kCases = {
    {"codec word then files",
     {"-codec", "cinepak", "in.bmp", "out.pan"},
     "in.bmp",
     "out.pan",
     0,
     0,
     kDefaultFile,
     {2, {}, {}}},
    {"every codec word",
     {"-codec", "video1", "-codec", "16bit"},
     "",
     "",
     0,
     0,
     kDefaultFile,
     {4, {}, {}}},
    {"codec word upper-case", {"/CODEC", "JPEG"}, "", "", 0, 0, kDefaultFile, {0, {}, {}}},
    {"unknown codec word writes nothing",
     {"-codec", "mpeg", "a", "b"},
     "a",
     "b",
     0,
     0,
     kDefaultFile,
     {}},
    {"quality above range", {"-quality", "250"}, "", "", 0, 0, kDefaultFile, {{}, 100, {}}},
    {"quality below range", {"-quality", "-5"}, "", "", 0, 0, kDefaultFile, {{}, 0, {}}},
    {"quality not a number", {"-quality", "abc", "x"}, "x", "", 0, 0, kDefaultFile, {}},
    {"quality missing", {"-quality"}, "", "", 0, 0, kDefaultFile, {}},
    {"thumbnail true keeps file names' case",
     {"-thumbnail", "true", "A.BMP", "B.PAN"},
     "A.BMP",
     "B.PAN",
     0,
     0,
     kDefaultFile,
     {{}, {}, 1}},
    {"thumbnail TRUE", {"-thumbnail", "TRUE"}, "", "", 0, 0, kDefaultFile, {{}, {}, 1}},
    {"thumbnail other word", {"-thumbnail", "yes"}, "", "", 0, 0, kDefaultFile, {{}, {}, 0}},
    {"dialog alone", {"/dialog"}, "", "", 1, 0, kDefaultFile, {}},
    {"dialog upper-case", {"/DIALOG"}, "", "", 1, 0, kDefaultFile, {}},
    {"registry redirects later values",
     {"-registry", "Studio", "-quality", "60"},
     "",
     "",
     0,
     0,
     "Tavrin/studio/Compactor.conf",
     {{}, 60, {}}},
    {"registry levels stay inside",
     {"-registry", "a\\..\\..\\b", "-codec", "24bit"},
     "",
     "",
     0,
     0,
     "Tavrin/a/b/Compactor.conf",
     {5, {}, {}}},
    {"third file ignored", {"one", "two", "three"}, "one", "two", 0, 0, kDefaultFile, {}},
    {"slash paths are files",
     {"/home/u/In.bmp", "/tmp/Out.pan"},
     "/home/u/In.bmp",
     "/tmp/Out.pan",
     0,
     0,
     kDefaultFile,
     {}},
    {"window handle", {"-window", "1234", "a"}, "a", "", 0, 1234, kDefaultFile, {}},
    {"unknown switch keeps state",
     {"-codec", "-fast", "cinepak", "a"},
     "a",
     "",
     0,
     0,
     kDefaultFile,
     {2, {}, {}}},
    {"known switch between switch and value",
     {"-codec", "-dialog", "indeo"},
     "",
     "",
     1,
     0,
     kDefaultFile,
     {1, {}, {}}},
    {"value consumes one argument only",
     {"-quality", "10", "20", "30"},
     "20",
     "30",
     0,
     0,
     kDefaultFile,
     {{}, 10, {}}},
    {"plug-in's form",
     {"/p/Pan.bmp", "/p/Pan.bmp", "-registry", "Tavrin"},
     "/p/Pan.bmp",
     "/p/Pan.bmp",
     0,
     0,
     "Tavrin/tavrin/Compactor.conf",
     {}},
};

class CommandLineTest : public TempConfigTest {};

TEST_F(CommandLineTest, ParsesEveryForm) {
    for (const CommandLineCase& c : kCases) {
        TearDown();
        SetUp();
        CompressionSettings settings;
        CCompactorCommandLineInfo info(settings);
        ParseCommandLine(c.args, info);
        EXPECT_EQ(info.inputName, c.input) << c.name;
        EXPECT_EQ(info.outputName, c.output) << c.name;
        EXPECT_EQ(info.dialogFlag, c.dialog) << c.name;
        EXPECT_EQ(info.callerWindow, c.window) << c.name;
        EXPECT_EQ(StoredValue(c.settingsFile, "Codec"), c.stored.codec) << c.name;
        EXPECT_EQ(StoredValue(c.settingsFile, "Quality"), c.stored.quality) << c.name;
        EXPECT_EQ(StoredValue(c.settingsFile, "Thumbnail"), c.stored.thumbnail) << c.name;
        if (std::string(c.settingsFile) != kDefaultFile) {
            EXPECT_FALSE(std::filesystem::exists(config_ / kDefaultFile)) << c.name;
        }
    }
}

TEST_F(CommandLineTest, UnknownCodecKeepsTheStoredOne) {
    CompressionSettings settings;
    settings.WriteCodec(3);
    CCompactorCommandLineInfo info(settings);
    ParseCommandLine({"-codec", "mpeg"}, info);
    EXPECT_EQ(settings.ReadCodec(), 3);
}

TEST_F(CommandLineTest, SettingsDefaultsAndBadStoredValues) {
    CompressionSettings settings;
    EXPECT_EQ(settings.ReadCodec(), 0);
    EXPECT_EQ(settings.ReadQuality(), 75);
    EXPECT_EQ(settings.ReadThumbnail(), 1);
    EXPECT_EQ(settings.FilePath(), (config_ / kDefaultFile).string());

    std::filesystem::create_directories(config_ / "Tavrin");
    {
        std::ofstream ini(config_ / kDefaultFile);
        ini << "[Compression]\nCodec=zebra\nQuality=900\n";
    }
    EXPECT_EQ(settings.ReadCodec(), 0);
    EXPECT_EQ(settings.ReadQuality(), 100);
}

}  // namespace
