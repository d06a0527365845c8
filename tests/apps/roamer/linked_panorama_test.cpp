// Which panorama a hotspot's action leaves open: targets found relative to the folder current
// at each step, unreadable targets passed over as the engine passes over them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "apps/roamer/linked_panorama.h"

namespace {

class LinkedPanoramaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("linked_panorama_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(root_ / "tour" / "inner");
        for (const char* name : {"tour/a.pan", "tour/inner/b.PAN", "tour/c.pan", "tour/bell.wav",
                                 "tour/caf\xc3\xa9.pan"})
            std::ofstream(root_ / name) << "x";
    }
    void TearDown() override { std::filesystem::remove_all(root_); }
    std::filesystem::path root_;
};

TEST_F(LinkedPanoramaTest, FollowsThePanoramaCommandsFromFolderToFolder) {
    const struct {
        const char* name;
        const char* action;
        const char* opened;  // relative to the root, "" for none
    } cases[] = {
        {"relative", "a.pan", "tour/a.pan"},
        {"with options", "(preserve view) a.pan", "tour/a.pan"},
        {"upper-case extension", "inner/b.PAN", "tour/inner/b.PAN"},
        {"the second is found from the first's folder", "a.pan;inner/b.PAN", "tour/inner/b.PAN"},
        {"and back up from there", "inner/b.PAN;../c.pan", "tour/c.pan"},
        {"a missing target is passed over", "a.pan;missing.pan", "tour/a.pan"},
        {"a missing first target leaves the folder", "missing.pan;c.pan", "tour/c.pan"},
        {"no panorama command", "bell.wav;#swingto(180,0,0,60,0)", ""},
        {"only missing targets", "missing.pan", ""},
        {"reading stops at an empty command", "bell.wav;;a.pan", ""},
        {"a code-page name finds its UTF-8 file", "caf\xe9.pan", "tour/caf\xc3\xa9.pan"},
    };
    for (const auto& c : cases) {
        const std::filesystem::path expected =
            *c.opened ? (root_ / c.opened).lexically_normal() : std::filesystem::path();
        EXPECT_EQ(LinkedPanoramaPath(c.action, root_ / "tour"), expected) << c.name;
    }
}

TEST_F(LinkedPanoramaTest, AnAbsoluteTargetIgnoresTheCurrentFolder) {
    const std::string action = (root_ / "tour" / "c.pan").string();
    EXPECT_EQ(LinkedPanoramaPath(action, "/nonexistent/folder"), root_ / "tour" / "c.pan");
}

}  // namespace
