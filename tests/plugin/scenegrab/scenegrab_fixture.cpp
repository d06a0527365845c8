#include "tests/plugin/scenegrab/scenegrab_fixture.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

#include "plugin/scenegrab/panorama_saver.h"
#include "plugin/scenegrab/servers.h"
#include "plugin/scenegrab_host/pinhole_camera.h"

namespace {

void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

std::optional<std::string> Current(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

void ScenegrabTest::SetUp() {
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() /
            ("scenegrab-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(root_ / "config");
    std::filesystem::create_directories(root_ / "bin");
    savedConfigHome_ = Current("XDG_CONFIG_HOME");
    savedPath_ = Current("PATH");
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    const std::filesystem::path copying = root_ / "bin" / "compactor";
    std::ofstream(copying) << "#!/bin/sh\nexec /bin/cp -- \"$1\" \"$2\"\n";
    std::filesystem::permissions(copying, std::filesystem::perms::owner_all);
    setenv("PATH", (root_ / "bin").c_str(), 1);
    backend_ = std::make_unique<platform::HeadlessBackend>();
}

void ScenegrabTest::TearDown() {
    backend_.reset();
    Restore("XDG_CONFIG_HOME", savedConfigHome_);
    Restore("PATH", savedPath_);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void ScenegrabTest::UseRealCompactor() {
    setenv("PATH", COMPACTOR_DIR, 1);
}

int ScenegrabTest::Render(const scenegrab_host::RenderSettings& settings) {
    std::ostringstream log;
    auto started = scenegrab_host::StartedModule::Start(scenegrab::ScenegrabDescriptor(), log);
    if (!started)
        return -1;
    scenegrab::SetPanoramaPresenter([this](const CDIB&) { ++shownPanoramas_; });
    return started->Render(settings, log);
}

std::vector<std::string> ScenegrabTest::Messages() const {
    std::vector<std::string> texts;
    for (const platform::MessageBoxRecord& record : backend_->MessageBoxes())
        texts.push_back(record.text);
    return texts;
}

scenegrab_host::RenderSettings SmallRender(const std::string& output, int first, int last,
                                           int faceSize) {
    scenegrab_host::RenderSettings settings;
    settings.outputFile = output;
    settings.firstFrame = first;
    settings.lastFrame = last;
    settings.faceSize = faceSize;
    return settings;
}

CDIB ReferencePanorama(const scenegrab_host::RenderSettings& settings,
                       const scenegrab_host::Vec3& ball, int width, int height) {
    CDIB picture(width, height, 24);
    for (int y = 0; y < height; ++y) {
        const double pitch = std::numbers::pi * ((y + 0.5) / height - 0.5);  // down is positive
        for (int x = 0; x < width; ++x) {
            const double heading = 2 * std::numbers::pi * ((x + 0.5) / width - 0.5);
            const scenegrab_host::Vec3 local{std::sin(heading) * std::cos(pitch), -std::sin(pitch),
                                             std::cos(heading) * std::cos(pitch)};
            const scenegrab_host::Rgb colour = scenegrab_host::SceneColour(
                settings.cameraPosition,
                scenegrab_host::TurnByRotation(settings.cameraRotation, local), ball);
            picture.SetPixel(x, y, colour.r, colour.g, colour.b);
        }
    }
    return picture;
}

PictureDifference ComparePictures(const CDIB& a, const CDIB& b) {
    constexpr int kBlock = 8;
    PictureDifference difference;
    double sum = 0;
    int far = 0;
    int blocks = 0;
    for (int by = 0; by + kBlock <= a.GetHeight(); by += kBlock) {
        for (int bx = 0; bx + kBlock <= a.GetWidth(); bx += kBlock, ++blocks) {
            double meanA[3] = {}, meanB[3] = {};
            for (int y = by; y < by + kBlock; ++y) {
                for (int x = bx; x < bx + kBlock; ++x) {
                    std::uint8_t ca[3] = {}, cb[3] = {};
                    a.GetPixel(x, y, &ca[0], &ca[1], &ca[2]);
                    b.GetPixel(x, y, &cb[0], &cb[1], &cb[2]);
                    for (int c = 0; c < 3; ++c) {
                        meanA[c] += ca[c] / double(kBlock * kBlock);
                        meanB[c] += cb[c] / double(kBlock * kBlock);
                    }
                }
            }
            double worst = 0;
            for (int c = 0; c < 3; ++c) {
                const double d = std::abs(meanA[c] - meanB[c]);
                sum += d / 3;
                worst = std::max(worst, d);
            }
            far += worst > 32 ? 1 : 0;
        }
    }
    difference.meanAbsolute = sum / blocks;
    difference.farShare = static_cast<double>(far) / blocks;
    return difference;
}
