#include "apps/compactor/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
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
    const char* args;   // split at spaces
    const char* files;  // "input|output"
    int dialog;
    int window;
    const char* settingsFile;  // where the values below are expected; "" = the default file
    StoredExpectation stored;  // nothing = not written
};

const CommandLineCase kCases[] = {
    {"-codec cinepak in.bmp out.pan", "in.bmp|out.pan", 0, 0, "", {2, {}, {}}},
    {"-codec video1 -codec 16bit", "|", 0, 0, "", {4, {}, {}}},
    {"/CODEC JPEG", "|", 0, 0, "", {0, {}, {}}},
    {"-codec mpeg a b", "a|b", 0, 0, "", {}},  // unknown codec word writes nothing
    {"-quality 250", "|", 0, 0, "", {{}, 100, {}}},
    {"-quality -5", "|", 0, 0, "", {{}, 0, {}}},
    {"-quality abc x", "x|", 0, 0, "", {}},
    {"-quality", "|", 0, 0, "", {}},
    {"-thumbnail true A.BMP B.PAN", "A.BMP|B.PAN", 0, 0, "", {{}, {}, 1}},
    {"-thumbnail TRUE", "|", 0, 0, "", {{}, {}, 1}},
    {"-thumbnail yes", "|", 0, 0, "", {{}, {}, 0}},
    {"/dialog", "|", 1, 0, "", {}},
    {"/DIALOG", "|", 1, 0, "", {}},
    {"-registry Studio -quality 60", "|", 0, 0, "Tavrin/studio/Compactor.conf", {{}, 60, {}}},
    {"-registry a\\..\\..\\b -codec 24bit", "|", 0, 0, "Tavrin/a/b/Compactor.conf", {5, {}, {}}},
    {"one two three", "one|two", 0, 0, "", {}},
    {"/home/u/In.bmp /tmp/Out.pan", "/home/u/In.bmp|/tmp/Out.pan", 0, 0, "", {}},
    {"-window 1234 a", "a|", 0, 1234, "", {}},
    {"-codec -fast cinepak a", "a|", 0, 0, "", {2, {}, {}}},  // unknown switch keeps state
    {"-codec -dialog indeo", "|", 1, 0, "", {1, {}, {}}},     // known switch in between
    {"-quality 10 20 30", "20|30", 0, 0, "", {{}, 10, {}}},   // a value takes one word only
    // The plug-in's form.
    {"/p/Pan.bmp /p/Pan.bmp -registry Tavrin",
     "/p/Pan.bmp|/p/Pan.bmp",
     0,
     0,
     "Tavrin/tavrin/Compactor.conf",
     {}},
};

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

class CommandLineTest : public TempConfigTest {};

TEST_F(CommandLineTest, ParsesEveryForm) {
    for (const CommandLineCase& c : kCases) {
        TearDown();
        SetUp();
        CompressionSettings settings;
        CCompactorCommandLineInfo info(settings);
        ParseCommandLine(Words(c.args), info);
        const std::string file = *c.settingsFile ? c.settingsFile : kDefaultFile;
        EXPECT_EQ(info.inputName + "|" + info.outputName, c.files) << c.args;
        EXPECT_EQ(info.dialogFlag, c.dialog) << c.args;
        EXPECT_EQ(info.callerWindow, c.window) << c.args;
        EXPECT_EQ(StoredValue(file, "Codec"), c.stored.codec) << c.args;
        EXPECT_EQ(StoredValue(file, "Quality"), c.stored.quality) << c.args;
        EXPECT_EQ(StoredValue(file, "Thumbnail"), c.stored.thumbnail) << c.args;
        if (file != kDefaultFile) {
            EXPECT_FALSE(std::filesystem::exists(config_ / kDefaultFile)) << c.args;
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

    // Numbers beyond int are seen as themselves, not narrowed (2^32 + 1 is not 1).
    std::ofstream(config_ / kDefaultFile, std::ios::trunc)
        << "[Compression]\nCodec=4294967296\nQuality=4294967297\nThumbnail=4294967296\n";
    EXPECT_EQ(settings.ReadCodec(), CompressionSettings::kUnknownCodec);
    EXPECT_EQ(settings.ReadQuality(), 100);
    EXPECT_EQ(settings.ReadThumbnail(), 1);
}

}  // namespace
