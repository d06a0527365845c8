// The one reading of stored texts: UTF-8 when well-formed, else Windows-1252 with every byte
// kept; the write-back of unchanged texts; the cut on a character boundary; and the lookup of
// a stored file name in its other encoding.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/stored_file_name.h"
#include "platform/stored_text.h"

namespace platform {
namespace {

TEST(StoredText, WellFormedUtf8ReadsAsUtf8AndAnythingElseAsWindows1252) {
    const struct {
        std::string stored;
        bool utf8;
        std::string shown;
    } cases[] = {
        {"plain.pan", true, "plain.pan"},
        {"caf\xc3\xa9.pan", true, "caf\xc3\xa9.pan"},
        {"\xf0\x9f\x8c\x8d", true, "\xf0\x9f\x8c\x8d"},
        {"caf\xe9.pan", false, "caf\xc3\xa9.pan"},
        {"Ann \xdc Photog", false, "Ann \xc3\x9c Photog"},
        {"\x80\x81\x9f", false, "\xe2\x82\xac\xc2\x81\xc5\xb8"},  // euro, a gap's C1 control
        {"\xc0\xaf", false, "\xc3\x80\xc2\xaf"},                  // overlong "/"
        {"\xed\xa0\x80", false, "\xc3\xad\xc2\xa0\xe2\x82\xac"},  // a surrogate
        {"\xf4\x90\x80\x80", false, "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac"},  // > U+10FFFF
        {"a\xc3", false, "a\xc3\x83"},  // a sequence cut short
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsUtf8(c.stored), c.utf8) << c.stored;
        EXPECT_EQ(StoredTextToUtf8(c.stored), c.shown) << c.stored;
    }
    // Every byte reads as one character and converts back whole.
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
    EXPECT_EQ(Utf8ToWindows1252("\xe2\x80\x94"), "\x97");
    EXPECT_FALSE(Utf8ToWindows1252("\xe2\x82\xad").has_value()) << "no byte for U+20AD";
}

TEST(StoredText, OnlyAChangedTextLeavesItsBytes) {
    const std::string stored = "caf\xe9.pan";
    const std::string shown = StoredTextToUtf8(stored);
    EXPECT_EQ(StoredTextAfterEdit(stored, shown, shown), stored);
    EXPECT_EQ(StoredTextAfterEdit(stored, shown, "caf\xc3\xa9s.pan"), "caf\xc3\xa9s.pan");
}

TEST(StoredText, CutsOnACharacterBoundaryOfTheWholeTextsReading) {
    const std::string utf8 = std::string(2046, 'a') + "\xc3\xa9";
    const std::string cp1252 = std::string(2046, 'a') + "\xc3\xa9\xe9";
    const struct {
        std::string stored;
        std::size_t kept;
    } cases[] = {
        {utf8, 2046},    // the two-byte character does not fit whole
        {cp1252, 2047},  // not UTF-8 as a whole: every byte is a character
        {"short", 5},
        {std::string(2046, 'a') + "\xe2\x82\xac", 2046},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CutStoredText(c.stored, 2047), c.stored.substr(0, c.kept)) << c.stored.size();
}

TEST(StoredFileName, IsLookedUpAsStoredThenInItsOtherEncoding) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::path(GetTempPath()) / ("stored-name-" + std::to_string(CurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string saved = GetCurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectory(folder.string()));
    for (const char* name : {"caf\xc3\xa9.pan", "~na\xefve.wav", "both\xe9", "both\xc3\xa9"})
        std::ofstream(folder / name) << "x";
    const struct {
        std::string stored;
        std::string found;
    } cases[] = {
        {"caf\xe9.pan", "caf\xc3\xa9.pan"},      // a tour copied to UTF-8 names
        {"~na\xc3\xafve.wav", "~na\xefve.wav"},  // a changed text naming an older file
        {"both\xe9", "both\xe9"},                // as stored first
        {"both\xc3\xa9", "both\xc3\xa9"},
        {"gone\xe9", "gone\xe9"},  // found in neither form
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindStoredFileName(c.stored), c.found) << c.stored;
    ASSERT_TRUE(SetCurrentDirectory(saved));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace platform
