#pragma once
// Test helpers: a fixture that gives each test a scratch folder standing in for the user's
// configuration folder and the output folder, the headless windowing backend (which records
// the plug-in's message boxes), a PATH whose `compactor` is the suite's own or a stand-in, and
// the plug-in started in-process under the stand-in host; plus the equirectangular reference
// of the host's scene.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bitmap/cdib.h"
#include "platform/headless/headless_backend.h"
#include "plugin/scenegrab_host/render_job.h"

class ScenegrabTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A path inside the scratch folder.
    std::string Scratch(const std::string& name) const { return (root_ / name).string(); }
    // PATH holds Compactor's folder. Until then it holds only a stand-in `compactor` that
    // leaves the saver's bitmap at the output name, as Compactor's 24-bit output does, so a
    // render's picture can be looked at.
    void UseRealCompactor();
    // Renders through the in-process plug-in; the host's status (0: every panorama made).
    int Render(const scenegrab_host::RenderSettings& settings);
    // The texts of the message boxes shown so far.
    std::vector<std::string> Messages() const;
    // How many panoramas were handed to the viewer window.
    int shownPanoramas_ = 0;

    std::filesystem::path root_;
    std::unique_ptr<platform::HeadlessBackend> backend_;

  private:
    std::optional<std::string> savedConfigHome_;
    std::optional<std::string> savedPath_;
};

// Settings for a small render of frames first..last into `output`.
scenegrab_host::RenderSettings SmallRender(const std::string& output, int first, int last,
                                           int faceSize = 64);

// The scene as the saver's panorama shows it, rendered directly: each pixel's direction
// (heading across the width, pitch down the height, the centre column straight ahead) seen from
// the camera's position, turned by the camera's rotation, with the ball at `ball`.
CDIB ReferencePanorama(const scenegrab_host::RenderSettings& settings,
                       const scenegrab_host::Vec3& ball, int width, int height);

struct PictureDifference {
    double meanAbsolute = 0;  // per channel, over the blocks' mean colours
    double farShare = 0;      // share of blocks whose mean colours lie more than 32 apart
};
// Compares two 24-bit pictures of one size by the mean colours of their 8 x 8 blocks, so that
// edges a pixel apart (resampling, the checkered ground's aliasing) do not count.
PictureDifference ComparePictures(const CDIB& a, const CDIB& b);
